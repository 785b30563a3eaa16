#!/usr/bin/env bash
# The suite again under AddressSanitizer (with UndefinedBehaviorSanitizer), and
# the tests with threads under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}

cmake -S . -B build-asan -G Ninja -DGLOOMGRID_SANITIZE=address >/dev/null
cmake --build build-asan -j 2
ctest --test-dir build-asan --output-on-failure -j 2 --timeout 600 -E 'Xvfb'
# In a real X window the display libraries keep allocations of their own until
# exit; memory errors still stop these runs, leaks are not counted.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 ctest --test-dir build-asan --output-on-failure --timeout 600 -R 'Xvfb'

cmake -S . -B build-tsan -G Ninja -DGLOOMGRID_SANITIZE=thread >/dev/null
mkdir -p build-tsan/test-work
# The sound tests read the generated game sounds of this build's game folder.
cmake --build build-tsan -j 2 --target assets
passed=0
# The game and sound suites, and a short soak of the game binary itself (the
# timer, sound notification and music fill threads beside the main thread).
for target in core_game_clock_test screens_mouse_cursor_test screens_popup_screen_test \
              host_timer_test host_kernel_test host_dsound_test host_input_state_test platform_zq_test \
              game_tile_board_test game_tile_game_test game_hall_of_fame_test game_replay_test \
              sound_zq_sound_test sound_stream_test sound_sound_registry_test sound_wav_file_test \
              sound_game_audio_test faults_soak_test; do
  cmake --build build-tsan -j 2 --target "$target"
  program=$(find build-tsan/tests -name "$target" -type f | head -1)
  [ -n "$program" ] || { echo "threadsanitizer: no test program $target" >&2; exit 1; }
  (cd build-tsan/test-work && GLOOMGRID_HOST_HEADLESS=1 SDL_VIDEODRIVER=dummy "../../$program")
  passed=$((passed + 1))
done
echo "threadsanitizer: $passed passed, 0 failed"
