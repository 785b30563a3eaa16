#!/usr/bin/env bash
# The loaders under libFuzzer: builds the clang fuzz build (build-fuzz), runs
# each target for FUZZ_SECONDS seconds from its seed corpus, then replays every
# seed and kept regression input. Exit status 1 when anything crashed.
#   scripts/fuzz.sh [target...]      targets: bmp wav profile hall_of_fame
#   FUZZ_SECONDS=10 scripts/fuzz.sh  the brief run CI makes
# New inputs a run finds go to build-fuzz/corpus/<target>/ (kept between runs);
# a crash is written to build-fuzz/crashes/<target>/. Once fixed, a crash input
# belongs in tests/fuzz/regressions/<target>/, where the suite replays it too.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-build-fuzz}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(bmp wav profile hall_of_fame)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DGLOOMGRID_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j "${JOBS:-2}" --target fuzz_targets

# A leak found in one input is a finding as well (libFuzzer's own check);
# undefined behaviour stops the run (built with -fno-sanitize-recover).
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy GLOOMGRID_HOST_HEADLESS=1
# The files the targets write for each input; a crashed run leaves its own here.
rm -rf "$build/tmp" && mkdir -p "$build/tmp"
TMPDIR=$(cd "$build/tmp" && pwd)
export TMPDIR

max_len() {
  case $1 in
    hall_of_fame) echo 6000 ;;  # a whole table is 5204 bytes
    *) echo 4096 ;;
  esac
}

failed=0
for target in "${targets[@]}"; do
  program="$build/tests/fuzz/fuzz_$target"
  [ -x "$program" ] || { echo "fuzz: no target $target" >&2; exit 2; }
  seeds=tests/fuzz/corpus/$target
  regressions=tests/fuzz/regressions/$target
  work=$build/corpus/$target
  crashes=$build/crashes/$target
  mkdir -p "$work" "$crashes"
  log=$build/fuzz-$target.log
  echo "fuzz: $target for ${seconds}s"
  if ! "$program" -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=20 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$work" "$seeds" >"$log" 2>&1; then
    echo "fuzz: $target FAILED; the input is in $crashes/, the report in $log:" >&2
    grep -E "ERROR|SUMMARY|broken promise|runtime error" "$log" | head -5 >&2 || true
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  echo "fuzz: $target: ${runs:-0} runs, ${coverage:-no coverage}"

  # Every seed and kept regression once more, each its own run.
  inputs=()
  for folder in "$seeds" "$regressions"; do
    [ -d "$folder" ] && while IFS= read -r -d '' file; do inputs+=("$file"); done \
      < <(find "$folder" -type f -print0 | sort -z)
  done
  if ! "$program" "${inputs[@]}" >"$build/replay-$target.log" 2>&1; then
    echo "fuzz: $target: a kept input fails again; see $build/replay-$target.log" >&2
    failed=1
  else
    echo "fuzz: $target: ${#inputs[@]} seeds and regressions replayed"
  fi
done
exit $failed
