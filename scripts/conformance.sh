#!/usr/bin/env bash
# make conformance: the host's interface tests (tests/host, see conformance.h) built twice from one source and
# run on both sides:
#   1. as a 32-bit Windows program (mingw-w64, the real headers, GoogleTest from Debian's sources), run under
#      Wine in a fresh prefix under a temporary folder, with a 16-bit Xvfb screen for DirectDraw and a null
#      ALSA device (a temporary HOME's ~/.asoundrc) so that DirectSound has a device to open;
#   2. against host/ on Linux, headless, as in the normal suite.
# Then a table by area: cases run, passed, skipped, host-only; and every case whose result differs.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
build=${BUILD:-build}
out=${CONFORMANCE_BUILD:-build-conformance}
programs=(profile files kernel timer window ddraw dsound)

cmake -S tests/host/windows -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j 2
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja >/dev/null
# shellcheck disable=SC2046
cmake --build "$build" -j 2 --target $(printf 'host_%s_test ' "${programs[@]}")

tmp=$(mktemp -d /tmp/gloomgrid-conformance.XXXXXX)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  WINEPREFIX=$tmp/prefix wineserver -k 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/home" "$tmp/host" "$tmp/results"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$tmp/home/.asoundrc"

# The host side first: it needs no display.
status=0
for p in "${programs[@]}"; do
  (cd "$tmp/host" && GLOOMGRID_HOST_HEADLESS=1 "$here/$build/tests/host/host_${p}_test" --gtest_color=no \
     --gtest_brief=1 --gtest_output="xml:$tmp/results/host-$p.xml") || status=1
done

n=$((90 + RANDOM % 100))
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x16 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=:$n HOME=$tmp/home WINEPREFIX=$tmp/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset WAYLAND_DISPLAY
start=$(date +%s)
wineboot -i >/dev/null 2>&1
wineserver -w
echo "conformance: Wine prefix ready in $(($(date +%s) - start)) s"
cp "$out/host_conformance.exe" "$tmp/"
(cd "$tmp" && wine host_conformance.exe --gtest_color=no --gtest_brief=1 \
   --gtest_output="xml:results\\wine.xml" 2>&1 | grep -v '^ALSA lib') || status=1
[ -s "$tmp/results/wine.xml" ] || { echo "conformance: the Windows program left no results"; status=1; }

python3 "$here/scripts/conformance-report.py" "$tmp/results" || status=1
[ $status -eq 0 ] && echo "conformance: passed" || echo "conformance: FAILED"
exit $status
