#!/usr/bin/env bash
# Start-up cost of the program against a bare Qt window of the same size with
# one text label in the same font (Arial) and one 10 ms timer
# (build/bench/bench_bare_window): instructions from exec to the first painted
# frame of the window, counted by callgrind, their ratio, and the wall time to
# map (median of RUNS runs); then the count of the bare window with one more
# label in each of the window's other faces (its fonts and glyphs alone). All
# end the process, without tearing down, once their window is first exposed
# and painted: the program does so only with VANTEL_QUIT_WHEN_SHOWN set, which
# nothing else sets.
# Runs in its own virtual X server. Usage: bench/startup.sh [BUILD_DIR]
# With BUDGET=ratio it counts the instructions alone and fails when the
# program takes more than ratio times the bare window's (the test command's
# check: the counts differ by about 0.1 % from run to run).
set -euo pipefail
BUILD="${1:-$(dirname "${BASH_SOURCE[0]}")/../build}"
RUNS=${RUNS:-15}
if [ -z "${VANTEL_STARTUP_IN_X:-}" ]; then
    exec env VANTEL_STARTUP_IN_X=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb VANTEL_QUIT_WHEN_SHOWN=1

instructions() { # the program's own process (a helper it forks reports apart)
    local log
    log=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1)
    local pid
    pid=$(echo "$log" | sed -n 's/^==\([0-9]*\)== Command:.*/\1/p' | head -1)
    echo "$log" | sed -n "s/^==$pid== Collected : \([0-9]*\).*/\1/p"
}
wall_ms() { # median over RUNS runs
    for _ in $(seq "$RUNS"); do
        local t0 t1
        t0=$(date +%s%N)
        "$1" >/dev/null 2>&1
        t1=$(date +%s%N)
        echo $(((t1 - t0) / 1000))
    done | sort -n | sed -n "$(((RUNS + 1) / 2))p"
}

app="$BUILD/app/vantel"
bare="$BUILD/bench/bench_bare_window"
if [ -n "${BUDGET:-}" ]; then
    a=$(instructions "$app")
    b=$(instructions "$bare")
    [ -n "$a" ] && [ -n "$b" ] || { echo "callgrind gave no count" >&2; exit 1; }
    ratio=$(echo "scale=4; $a / $b" | bc -l)
    printf 'vantel %d, bare window %d instructions to the first frame: %.3fx (budget %sx)\n' \
        "$a" "$b" "$ratio" "$BUDGET"
    [ "$(echo "$ratio <= $BUDGET" | bc -l)" -eq 1 ] || { echo "start-up over its budget" >&2; exit 1; }
    exit 0
fi
wall_ms "$app" >/dev/null # warm the caches once
a=$(instructions "$app")
b=$(instructions "$bare")
f=$(instructions "$bare" --all-faces)
[ -n "$a" ] && [ -n "$b" ] && [ -n "$f" ] || { echo "callgrind gave no count" >&2; exit 1; }
wa=$(wall_ms "$app")
wb=$(wall_ms "$bare")
printf 'vantel       %12d instructions  %6.1f ms to map\n' "$a" "$(echo "$wa / 1000" | bc -l)"
printf 'bare window  %12d instructions  %6.1f ms to map\n' "$b" "$(echo "$wb / 1000" | bc -l)"
printf 'ratio        %12.2fx               %6.2fx\n' "$(echo "$a / $b" | bc -l)" "$(echo "$wa / $wb" | bc -l)"
printf 'bare window with all four faces %d instructions (%.2fx), the fonts and glyphs alone\n' \
    "$f" "$(echo "$f / $b" | bc -l)"
