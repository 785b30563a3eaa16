#!/usr/bin/env bash
# The Windows program played end to end under Wine, in a 16-bit Xvfb screen,
# beside the Linux build:
#   1. builds the Linux game folder (its pictures and sounds are the Windows
#      program's too) and gloomgrid.exe, and puts them together in
#      build-windows/dist/GloomGrid;
#   2. makes a fresh Wine prefix under a temporary folder (never the user's);
#   3. checks the depth message on a 24-bit screen, then plays: title, newgame,
#      a slide, info, level 1 solved from the screen, hiscore.dat, exit code,
#      with no sound card (Wine's ALSA finds none: the game plays on silent);
#   4. plays the Linux build the same way: both hiscore.dat files alike;
#   5. captures level 1's start screen from both programs and compares them
#      pixel for pixel; the Windows program plays its music on ALSA's null
#      device meanwhile.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
build=${BUILD:-build}
out=build-windows
player=Morticia

cmake --build "$build" -j 2 --target gloomgrid >/dev/null
./scripts/windows-check.sh "$out"
dist=$out/dist/GloomGrid
rm -rf "$dist" && mkdir -p "$dist"
cp -r "$build"/dist/GloomGrid/. "$dist"/
rm -f "$dist/gloomgrid" "$dist/hiscore.dat"
cp "$out/gloomgrid.exe" "$dist"/
echo "windows-e2e: $dist ready"

tmp=$(mktemp -d /tmp/gloomgrid-wine.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  WINEPREFIX=$tmp/prefix wineserver -k 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
export WINEPREFIX=$tmp/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY

# A free display number for each screen.
free_display() {
  local n=${1}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}
start_x() {  # start_x DEPTH -> sets DISPLAY
  local n; n=$(free_display "$((90 + RANDOM % 100))")
  Xvfb ":$n" -screen 0 "1024x768x$1" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=:$n
}

# One game folder for each program, with options.ini beside it.
for side in windows windows-start linux linux-play; do
  mkdir -p "$tmp/$side"
  if [ "${side#windows}" != "$side" ]; then cp -r "$dist" "$tmp/$side/"; else cp -r "$build/dist/GloomGrid" "$tmp/$side/"; fi
  rm -f "$tmp/$side/GloomGrid/hiscore.dat"
  printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=%s\r\n' "$player" > "$tmp/$side/options.ini"
done

start_x 16
start=$(date +%s%N)
wineboot -i >/dev/null 2>&1
wineserver -w
echo "windows-e2e: wineboot took $(( ($(date +%s%N) - start) / 1000000 )) ms"

status=0
e2e() { python3 "$here/scripts/windows-e2e.py" "$@" || status=1; }
win=("wine" "gloomgrid.exe")
display16=$DISPLAY
start_x 24
e2e depth "$tmp/windows-start/GloomGrid" -- "${win[@]}"
export DISPLAY=$display16
e2e play "$tmp/windows/GloomGrid" "$player" -- "${win[@]}"
GLOOMGRID_HOST_AUDIO=none e2e play "$tmp/linux-play/GloomGrid" "$player" -- ./gloomgrid
e2e same-table "$tmp/windows/GloomGrid/hiscore.dat" "$tmp/linux-play/GloomGrid/hiscore.dat"
# The start screen with a sound device: ALSA's null device, which Wine's
# DirectSound opens like a card. The music must play without a crash or a hang.
printf '</usr/share/alsa/alsa.conf>\npcm.!default { type null }\n' > "$tmp/null-alsa.conf"
ALSA_CONFIG_PATH=$tmp/null-alsa.conf WINEDEBUG=-all,trace+dsound \
  e2e capture "$tmp/windows-start/GloomGrid" "$tmp/windows.ppm" -- "${win[@]}"
if grep -q "IDirectSoundBufferImpl_Play" "$tmp/windows-start/stderr.log"; then
  echo "ok    the music plays on Wine's null sound device"
else
  echo "FAIL  the music plays on Wine's null sound device: no buffer was played"; status=1
fi
sed -i '/^[0-9a-f]*:trace:dsound:/d' "$tmp/windows-start/stderr.log"
GLOOMGRID_HOST_AUDIO=none e2e capture "$tmp/linux/GloomGrid" "$tmp/linux.ppm" -- ./gloomgrid
if [ -s "$tmp/windows.ppm" ] && [ -s "$tmp/linux.ppm" ]; then
  sizes="$(cat "$tmp/windows.ppm.size") (Windows) and $(cat "$tmp/linux.ppm.size") (Linux)"
  echo "windows-e2e: client areas $sizes; compared where both show"
  # Smallest of both: an 800 x 600 window keeps less than that for its client
  # area on Windows; host windows have no frame.
  common=$(python3 -c "import sys; a, b = ([int(v) for v in s.split('x')] for s in sys.argv[1:]); print(f'{min(a[0], b[0])}x{min(a[1], b[1])}')" \
    "$(cat "$tmp/windows.ppm.size")" "$(cat "$tmp/linux.ppm.size")")
  e2e compare "$tmp/windows.ppm" "$tmp/linux.ppm" "$common"
fi
# KEEP_SCREENS=folder keeps both start screens for a look.
if [ -n "${KEEP_SCREENS:-}" ]; then cp "$tmp"/*.ppm "$KEEP_SCREENS"/ 2>/dev/null || true; fi

if [ $status -ne 0 ]; then
  for log in "$tmp"/*/stderr.log; do
    echo "--- $log (without ALSA's lines about the missing sound card)"
    grep -v '^ALSA lib' "$log" | tail -20 || true
  done
fi
[ $status -eq 0 ] && echo "windows-e2e: passed" || echo "windows-e2e: FAILED"
exit $status
