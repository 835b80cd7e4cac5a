#!/usr/bin/env bash
# The floors of the tree, checked on the sources: core/ includes nothing of
# sim/ or ui/, sim/ nothing of ui/, journal/ nothing of ui/; in ui/, art/ and chart/ include no other
# room, widgets/ only art/, statistics/ and simulate/ no window/; and no two
# units of ui/ (a header with its source) include each other, directly or
# through others.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

status=0
fail() {
    echo "check: $*" >&2
    status=1
}

# includes FILE: the quoted includes of FILE, one a line.
includes() { sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$1"; }

for f in core/*.h core/*.cpp; do
    while read -r inc; do
        [ -e "core/$inc" ] || fail "$f includes \"$inc\", which is not in core/"
    done < <(includes "$f")
done
for f in sim/*.h sim/*.cpp; do
    while read -r inc; do
        [ -e "sim/$inc" ] || [ -e "core/$inc" ] || fail "$f includes \"$inc\", which is not in sim/ or core/"
    done < <(includes "$f")
done

for f in journal/*.h journal/*.cpp; do
    while read -r inc; do
        [ -e "journal/$inc" ] || [ -e "sim/$inc" ] || [ -e "core/$inc" ] ||
            fail "$f includes \"$inc\", which is not in journal/, sim/ or core/"
    done < <(includes "$f")
done

# The rooms of ui/ each room may include, besides its own.
declare -A allowed=(
    [art]=""
    [chart]=""
    [widgets]="art"
    [statistics]="art widgets chart"
    [simulate]="art widgets chart"
    [window]="art widgets chart statistics simulate"
)
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for f in $(find ui -name '*.h' -o -name '*.cpp'); do
    room="${f#ui/}"
    room="${room%%/*}"
    unit="${f%.*}"
    while read -r inc; do
        [ -e "ui/$inc" ] || continue
        to_room="${inc%%/*}"
        if [ "$to_room" != "$room" ] && [[ " ${allowed[$room]-} " != *" $to_room "* ]]; then
            fail "$f includes \"$inc\": ui/$room/ may not include ui/$to_room/"
        fi
        to_unit="ui/${inc%.*}"
        [ "$to_unit" != "$unit" ] && echo "$unit $to_unit" >>"$edges"
    done < <(includes "$f")
done
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
    fail "units of ui/ include each other in a circle:"
    grep -v "input contains a loop" "$edges.loop" | sed "s/^tsort: /  /" >&2
fi
rm -f "$edges.loop"

[ "$status" -eq 0 ] && echo "check: core, sim, journal and the rooms of ui include only what lies below them"
exit "$status"
