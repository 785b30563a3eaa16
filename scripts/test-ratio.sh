#!/usr/bin/env bash
# Non-blank lines of tests over non-blank lines of the code they test. The art
# generator and its own tests are left out on both sides, and so are the
# benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' \) -print0 2>/dev/null |
    xargs -0 -r grep -cv '^\s*$' | awk -F: '{s += $NF} END {print s + 0}'
}
code=$(count host core shell platform gfx screens game sound)
tests=$(find tests -mindepth 1 -maxdepth 1 -type d ! -name assets -print0 | xargs -0 bash -c "$(declare -f count); count \"\$@\"" _)
awk -v t="$tests" -v c="$code" 'BEGIN {printf "tests %d / code %d = %.2f\n", t, c, t / c}'
