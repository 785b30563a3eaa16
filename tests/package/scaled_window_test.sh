#!/usr/bin/env bash
# The game's window on a 3840 x 2160 screen under Xvfb: enlarged by 2, at twice
# the place the game asked for on the 1920 x 1080 desktop it is told of, and a
# click on the enlarged "exit" button reaches the game at the button's own
# coordinates (50, 537) and ends it; the picture fills it and it wears the
# game's icon. GLOOMGRID_SCALE=1 keeps it 800 x 600.
# Usage: scaled_window_test.sh GAME_FOLDER (exit 77: a tool missing)
set -uo pipefail
dist=$1
for tool in Xvfb xdotool xprop import; do command -v $tool >/dev/null || { echo "$tool is missing"; exit 77; }; done
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/gloomgrid-scaled-XXXXXX")
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 3840x2160x24 -nolisten tcp 2>/dev/null; }
xvfb=$XVFB_PID
trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
read -r -t 20 number <&"${XVFB[0]}" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
cp -r "$dist" "$scratch/GloomGrid"
printf '[setup]\nfullscreen=0\n' >"$scratch/GloomGrid/setup.ini"

# start [ENV...]: the game in a window on the Xvfb screen, in the background.
start() {
  rm -f "$scratch/trace.txt"
  (cd "$scratch/GloomGrid" && exec env -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER -u GLOOMGRID_HOST_HEADLESS \
    -u GLOOMGRID_HOST_TIME -u GLOOMGRID_SCALE GLOOMGRID_HOST_AUDIO=none \
    GLOOMGRID_HOST_TRACE="$scratch/trace.txt" "$@" ./gloomgrid) 2>"$scratch/stderr.txt" &
  game=$!
  window=$(timeout 15 xdotool search --sync --name '^Gloom Grid' | head -1)
  geometry=$(xdotool getwindowgeometry "$window" 2>&1)
}
# finish: the game's exit code, killed after 15 s.
finish() {
  for _ in $(seq 150); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill -9 $game 2>/dev/null
  wait $game
}

start
[[ $geometry == *"Position: 1120,480"* && $geometry == *"Geometry: 1600x1200"* ]] ||
  fail "expected a 1600x1200 window at 1120,480: $geometry"
# The picture fills the window: its lower right corner is not the black around it.
for _ in $(seq 30); do
  corner=$(import -silent -window "$window" -crop 1x1+1500+1100 -format '%[pixel:p{0,0}]' info:- 2>&1)
  [[ $corner != "srgb(0,0,0)" && $corner != black ]] && break
  sleep 0.1
done
[[ $corner == srgb* && $corner != "srgb(0,0,0)" ]] || fail "the window's lower right corner (1500, 1100) is $corner"
icon=$(xprop -id "$window" _NET_WM_ICON 2>&1 | head -2)
[[ $icon == *"Icon (64 x 64)"* ]] || fail "the window has no 64 x 64 icon: $icon"
xdotool mousemove --window "$window" 100 1074 && sleep 0.2 && xdotool mousedown 1 && sleep 0.15 && xdotool mouseup 1
finish
status=$?
[ $status -eq 0 ] || fail "the game ended with $status after the click on exit: $(cat "$scratch/stderr.txt")"
# WM_LBUTTONDOWN (0x0201) with MK_LBUTTON at (50, 537): 537 * 65536 + 50
grep -q "window scale 2" "$scratch/trace.txt" || fail "the trace names no window scale of 2"
grep -q "0x0201 1 35192882$" "$scratch/trace.txt" ||
  fail "the press did not reach the game at (50, 537): $(grep 0x0201 "$scratch/trace.txt")"

start GLOOMGRID_SCALE=1
[[ $geometry == *"Geometry: 800x600"* ]] || fail "GLOOMGRID_SCALE=1: expected an 800x600 window: $geometry"
kill -TERM $game
finish

[ $failures -eq 0 ] && echo "scaled window test passed" || exit 1
