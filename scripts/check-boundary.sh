#!/usr/bin/env bash
# The host boundary: the game's own code (every folder but host/, tests/, bench/
# and assets/) sees Windows only. It fails here when a file of it includes
#   - SDL, or anything under host/ (host/src, host/control.h: the game never
#     drives the host; it calls the Windows names of host/include);
#   - a threads, clocks or files header of the C++ library or of POSIX that a
#     Windows program of 2000 would not have used: the game's threads, time and
#     files are the Windows ones (std::atomic stays allowed).
# Usage: check-boundary.sh [source tree]   (default: this checkout)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

forbidden='(SDL[^/]*|SDL2/.*|(.*/)?host/.*|thread|threads\.h|chrono|filesystem|mutex|shared_mutex|condition_variable|future|semaphore|latch|barrier|stop_token|pthread\.h|unistd\.h|dirent\.h)'

# Top-level build folders (build, build-windows, ...) hold generated files only.
mapfile -d '' files < <(find . -mindepth 1 \
  \( -path ./host -o -path ./tests -o -path ./bench -o -path ./assets -o -path './build*' -o -name '.*' \) -prune \
  -o -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.cc' -o -name '*.h' -o -name '*.hpp' -o -name '*.inl' \) \
  -print0)

[ ${#files[@]} -gt 0 ] || { echo "check-boundary: no game code found under $root" >&2; exit 2; }
found=0
grep -nHE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]${forbidden}[>\"]" "${files[@]}" || found=$?
case $found in
  0) echo "check-boundary: the includes above cross the host boundary: game code uses the" \
          "Windows headers of host/include and Windows' own threads, clocks and files." >&2
     exit 1 ;;
  1) echo "check-boundary: ${#files[@]} files of the game's code include nothing beyond Windows" ;;
  *) exit 2 ;;
esac
