#!/usr/bin/env bash
# Source checks, run before any build and as the test source_checks: the
# formatter holds on every C++ file, no GoogleTest file uses Qt Test's check
# macros (they only return on failure, so a GoogleTest test using them passes
# whatever happens), every connect names its context object, and the floors
# include only what lies below them. They read the sources and write nothing.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find . -path ./build -prune -o -path './build-*' -prune -o \
                              \( -name '*.cpp' -o -name '*.h' \) -print)
fi

status=0
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "check: the files above are not clang-format clean (run clang-format -i on them)" >&2
    status=1
fi

for f in "${files[@]}"; do
    [[ "$f" == tests/* || "$f" == ./tests/* ]] || continue
    grep -qE '#include *[<"]gtest/' "$f" || continue
    if grep -nE '\b(QCOMPARE|QVERIFY2?|QTRY_[A-Z_]+|QFAIL|QEXPECT_FAIL)[[:space:]]*\(' "$f" \
        | sed "s|^|$f:|;s|\$| <- Qt Test check macro in a GoogleTest file: use EXPECT_*/ASSERT_*|" >&2; then
        status=1
    fi
done

# Every connection of a signal to a function names its context object.
perl scripts/check_connects.pl "${files[@]}" || status=1

bash scripts/check_includes.sh || status=1

[ "$status" -eq 0 ] && echo "check: sources formatted, no Qt Test check macros in GoogleTest files, every connect with a context"
exit "$status"
