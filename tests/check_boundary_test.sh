#!/usr/bin/env bash
# scripts/check-boundary.sh against a scratch copy of the source tree: the copy
# as it is passes; one include planted in the game's code fails it; the same
# includes in host/, tests/, bench/ or assets/ do not.
# Usage: check_boundary_test.sh <source tree>
set -uo pipefail
source_root=${1:?source tree}
check="$source_root/scripts/check-boundary.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
tar -C "$source_root" --exclude='./build*' --exclude='./.*' -cf - . | tar -C "$scratch" -xf -

failures=0
# expect <0|1> <file relative to the tree> <line to plant, or empty>
expect() {
  local want=$1 file=$2 line=$3 saved="$scratch/.saved" got
  [ -e "$scratch/$file" ] && cp "$scratch/$file" "$saved" || rm -f "$saved"
  mkdir -p "$(dirname "$scratch/$file")"
  [ -n "$line" ] && printf '%s\n' "$line" >>"$scratch/$file"
  "$check" "$scratch" >"$scratch/.out" 2>&1
  got=$?
  [ "$got" -ne 0 ] && got=1
  if [ "$got" != "$want" ]; then
    echo "FAIL: '$line' in $file: exit $got, expected $want"
    cat "$scratch/.out"
    failures=$((failures + 1))
  elif [ "$want" = 1 ] && ! grep -q "$file" "$scratch/.out"; then
    echo "FAIL: '$line' in $file: the report does not name the file"
    cat "$scratch/.out"
    failures=$((failures + 1))
  fi
  if [ -e "$saved" ]; then mv "$saved" "$scratch/$file"; else rm -f "$scratch/$file"; fi
}

expect 0 gfx/debug_log.cpp ""

for line in '#include <SDL.h>' '#include <SDL2/SDL.h>' '#include "SDL_timer.h"' \
            '#include "host/src/presenter.h"' '#include "../host/src/video.h"' '#include "host/control.h"' \
            '#include <host/control.h>' '#include <thread>' '  #  include <chrono>' '#include <filesystem>' \
            '#include <mutex>' '#include <condition_variable>' '#include <future>' '#include <pthread.h>' \
            '#include <unistd.h>'; do
  expect 1 gfx/debug_log.cpp "$line"
done
expect 1 screens/new_module.h '#include <thread>'
expect 1 game/board.cpp '#include <SDL.h>'

for line in '#include <atomic>' '#include <ctime>' '#include <cstdio>' '// #include <thread>'; do
  expect 0 gfx/debug_log.cpp "$line"
done
for file in host/src/video_sdl.cpp tests/core/game_clock_test.cpp bench/blit_bench.cpp assets/src/main.cpp; do
  expect 0 "$file" '#include <SDL.h>'
  expect 0 "$file" '#include <thread>'
done

[ "$failures" -eq 0 ] && echo "check_boundary_test: every planted include judged as expected"
exit $((failures > 0))
