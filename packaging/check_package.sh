#!/usr/bin/env bash
# Checks the desktop installation as a user of a Debian desktop meets it: the
# validators of each file, the package's lint and file list, and the installed
# programs started from a scratch install folder.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$1"
build="$2"
id=org.vantel.vantel
fail() { echo "package check: $*" >&2; exit 1; }

out=$(desktop-file-validate "$src/packaging/$id.desktop" 2>&1) || fail "desktop entry: $out"
[ -z "$out" ] || fail "desktop entry: $out"

out=$(appstreamcli validate --no-net --strict "$build/packaging/$id.metainfo.xml" 2>&1) \
    || fail "metainfo: $out"
if grep -qE '^[EWI]: ' <<<"$out"; then fail "metainfo: $out"; fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1) \
    || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$scratch"/pkg/vantel_*_amd64.deb)
version=$(sed -n 's/^project(vantel VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ "$(basename "$deb")" = "vantel_${version}_amd64.deb" ] || fail "package named $(basename "$deb")"

lint=$(lintian "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -n "$lint" ] && echo "$lint"
if grep -q '^E: ' <<<"$lint"; then fail "lintian reports errors"; fi

dpkg-deb -f "$deb" Section | grep -qx games || fail "section is not games"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Qt missing from the dependencies"
# Loaded on first use, so only named here: SQLite for the journal, Qt's SVG
# library by the chart's SVG writer.
for dep in libsqlite3-0 libqt6svg6; do
    dpkg-deb -f "$deb" Depends | grep -q "$dep" || fail "$dep missing from the dependencies"
done
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
expect=(./usr/games/vantel ./usr/share/applications/$id.desktop
        ./usr/share/metainfo/$id.metainfo.xml ./usr/share/man/man6/vantel.6.gz)
if [ -x "$build/app/vantel-sim" ]; then
    expect+=(./usr/games/vantel-sim ./usr/share/man/man6/vantel-sim.6.gz)
fi
if [ -x "$build/app/vantel-wheel" ]; then
    expect+=(./usr/games/vantel-wheel ./usr/share/man/man6/vantel-wheel.6.gz)
fi
for size in 16 22 24 32 48 64 128 256; do
    expect+=("./usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for f in "${expect[@]}"; do
    grep -qxF "$f" <<<"$files" || fail "the package lacks $f"
done
grep -qx 'Exec=vantel' "$src/packaging/$id.desktop" || fail "desktop entry runs something else"
grep -qx "Icon=$id" "$src/packaging/$id.desktop" || fail "desktop entry shows another icon"

# A scratch install, started from there under its own X server.
root="$scratch/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
for size in 16 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "icon $size is not ${size}x${size}"
done
if [ -x "$root/usr/games/vantel-sim" ]; then
    "$root/usr/games/vantel-sim" --version >/dev/null || fail "installed vantel-sim --version failed"
    # The SVG writer is found where it was installed, beside the programs.
    env -u VANTEL_SVG_MODULE "$root/usr/games/vantel-sim" --sessions 3 --spins 20 \
        --chart "$scratch/chart.svg" >/dev/null 2>"$scratch/sim.err" \
        || fail "installed vantel-sim wrote no SVG chart: $(cat "$scratch/sim.err")"
    grep -q '</svg>' "$scratch/chart.svg" || fail "installed vantel-sim's SVG chart is not whole"
fi
if [ -x "$root/usr/games/vantel-wheel" ]; then
    "$root/usr/games/vantel-wheel" --version >/dev/null || fail "installed vantel-wheel --version failed"
    printf '1\n2\n3\n' >"$scratch/spins.txt"
    "$root/usr/games/vantel-wheel" import --journal "$scratch/j.sqlite" --wheel T "$scratch/spins.txt" \
        >/dev/null 2>"$scratch/wheel.err" \
        || fail "installed vantel-wheel kept no journal: $(cat "$scratch/wheel.err")"
fi
title=$(env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" & app=$!
    t=$(timeout 20 xdotool search --sync --onlyvisible --name "^Vantel 2\.0$" | head -1)
    [ -n "$t" ] && xdotool getwindowname "$t"
    kill $app; wait $app 2>/dev/null || true' _ "$root/usr/games/vantel")
[ "$title" = "Vantel 2.0" ] || fail "the installed vantel opened no window titled Vantel 2.0"
echo "package check: $(basename "$deb") validated, lint clean of errors, installed and started"
