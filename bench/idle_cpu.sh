#!/bin/sh
# CPU the running game takes while it shows a level and waits for the player,
# in a real X window under Xvfb, in percent of one core, whole process and per
# thread. Usage: bench/idle_cpu.sh [dist folder] [seconds] [inactive]
# With "inactive" the keyboard focus then goes to the root window, so the game
# is inactive while it is measured.
# The game folder is copied to a scratch place, so the build stays clean.
set -eu
dist=$(cd "${1:-build/dist/GloomGrid}" && pwd)
seconds=${2:-5}
state=${3:-active}
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "needs Xvfb and xdotool" >&2; exit 1; }

scratch=$(mktemp -d)
game=""
xvfb=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null && wait "$game" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

Xvfb -displayfd 3 -screen 0 1024x768x16 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
while [ ! -s "$scratch/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"

cp -r "$dist" "$scratch/GloomGrid"
(cd "$scratch/GloomGrid" && unset GLOOMGRID_HOST_HEADLESS GLOOMGRID_HOST_TIME SDL_VIDEODRIVER &&
  SDL_AUDIODRIVER=dummy exec ./gloomgrid) &
game=$!
window=$(timeout 15 xdotool search --sync --name '^Gloom Grid' | head -1)
xdotool windowfocus --sync "$window"
sleep 0.8
# "newgame": the board of the first level shows and the game waits for a slide.
xdotool mousemove --window "$window" 142 476 mousedown 1 sleep 0.15 mouseup 1
if [ "$state" = inactive ]; then
  xdotool windowfocus "$(xwininfo -root | awk '/Window id/ { print $4 }')"
fi
sleep 1

ticks=$(getconf CLK_TCK)
# utime + stime of a stat file, in clock ticks (the name field may hold blanks).
cpu() { sed 's/.*) //' "$1" | awk '{ print $12 + $13 }'; }
snapshot() {
  for task in /proc/"$game"/task/*; do
    printf '%s %s %s\n' "${task##*/}" "$(tr " " _ <"$task/comm")" "$(cpu "$task/stat")"
  done
}
whole_before=$(cpu /proc/"$game"/stat)
snapshot >"$scratch/before"
sleep "$seconds"
whole_after=$(cpu /proc/"$game"/stat)
snapshot >"$scratch/after"

awk -v t="$ticks" -v s="$seconds" -v a="$whole_before" -v b="$whole_after" \
  -v state="$state" 'BEGIN { printf "whole program, %s: %.1f%% of one core over %d s\n", state, 100 * (b - a) / t / s, s }'
join "$scratch/before" "$scratch/after" | awk -v t="$ticks" -v s="$seconds" \
  '{ printf "  thread %-8s %-16s %.1f%%\n", $1, $2, 100 * ($5 - $3) / t / s }'
# SIGTERM closes the window as its close button does, active or not.
kill "$game"
wait "$game" 2>/dev/null || true
game=""
