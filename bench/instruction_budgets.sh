#!/usr/bin/env bash
# Fails when a mode of bench_core takes more instructions a spin than its
# budget (instructions_per_spin.sh counts them under callgrind; the counts are
# the same on every run of one build).
# Usage: bench/instruction_budgets.sh path/to/bench_core MODE=BUDGET...
set -euo pipefail
BIN="$1"
shift
command -v valgrind >/dev/null || { echo "valgrind is not installed: no instruction counts" >&2; exit 1; }
figures=$(bash "$(dirname "${BASH_SOURCE[0]}")/instructions_per_spin.sh" "$BIN")
echo "$figures"
status=0
for budget in "$@"; do
    mode="${budget%%=*}" most="${budget#*=}"
    spent=$(awk -v m="$mode" '$1 == m { print $2 }' <<<"$figures")
    if [ -z "$spent" ]; then
        echo "no figure for $mode" >&2
        status=1
    elif [ "$spent" -gt "$most" ]; then
        echo "$mode: $spent instructions a spin, over its budget of $most" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "every mode within its budget: $*"
exit "$status"
