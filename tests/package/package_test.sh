#!/usr/bin/env bash
# The Debian package as a player gets it: built, free of lintian errors,
# unpacked into a scratch root and started there through its launcher with a
# scratch home. A headless game that solves level 1 must leave its hall of fame
# in the per-user folder and nothing changed under the unpacked root; a second
# start after an "upgrade" links the new files, drops the gone ones and keeps
# the player's; a per-user folder that cannot be made stops the launcher.
# Usage: package_test.sh BUILD_DIR LEVEL_ONE_SCRIPT_PROGRAM
set -uo pipefail
build=$1 scripter=$2
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

cmake --build "$build" --target gloomgrid_deb gloom_level_one_script >/dev/null || { echo "cannot build the package" >&2; exit 1; }
deb=$(ls -t "$build"/gloomgrid_*_amd64.deb | head -1)  # the newest: an older version's may lie beside it
[ -f "$deb" ] || { echo "no gloomgrid_*_amd64.deb in $build" >&2; exit 1; }
echo "package: $deb, $(stat -c %s "$deb") bytes"

if command -v lintian >/dev/null; then
  lint=$(lintian --fail-on error "$deb" 2>&1)
  status=$?
  lint=$(grep -v 'root privileges' <<<"$lint")
  echo "lintian: ${lint:-no tags}"
  [ $status -eq 0 ] || fail "lintian reports errors"
else
  fail "lintian is not installed (scripts/packages.txt)"
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/gloomgrid-package-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root home=$scratch/home
mkdir -p "$home"
dpkg-deb -x "$deb" "$root" || { echo "cannot unpack $deb" >&2; exit 1; }
listing() { (cd "$root" && find . -printf '%p %y %s %m %T@ %l\n' | sort); }
listing >"$scratch/before.txt"

"$scripter" 17 >"$scratch/input.txt" || exit 1
play() {  # play SCRIPT [ENV...]: the installed launcher, headless, in virtual time
  local script=$1
  shift
  env -u XDG_DATA_HOME -u SDL_VIDEODRIVER HOME="$home" GLOOMGRID_HOST_HEADLESS=1 GLOOMGRID_HOST_TIME=virtual \
    GLOOMGRID_HOST_SEED=17 GLOOMGRID_HOST_AUDIO=none GLOOMGRID_HOST_SCRIPT="$script" "$@" \
    timeout 120 "$root/usr/games/gloomgrid"
}
play "$scratch/input.txt" >"$scratch/out.txt" 2>&1 || fail "the game ended with $?: $(cat "$scratch/out.txt")"

mine=$home/.local/share/gloomgrid
scores=$mine/GloomGrid/hiscore.dat
if [ ! -f "$scores" ] || [ -L "$scores" ]; then
  fail "no hiscore.dat of the player's own in $mine/GloomGrid: $(ls -la "$mine/GloomGrid" 2>&1)"
elif ! grep -q "Player1" "$scores" || [ "$(stat -c %s "$scores")" -ne 5204 ]; then
  fail "hiscore.dat holds no entry of Player1 in its 5204 bytes ($(stat -c %s "$scores") bytes)"
fi
grep -q '^name=Player1$' "$mine/options.ini" || fail "options.ini was not written in $mine"
[ -L "$mine/GloomGrid/background.bmp" ] || fail "the game folder does not link background.bmp"
listing >"$scratch/after.txt"
diff "$scratch/before.txt" "$scratch/after.txt" >&2 || fail "the game changed files under the unpacked root"

# An upgrade adds one file and takes one away; the player's files stay.
data=$root/usr/share/games/gloomgrid
cp "$scores" "$scratch/scores.before"
echo "player's own" >"$mine/GloomGrid/notes.txt"
cp "$data/tileset.bmp" "$data/added.bmp" && rm "$data/arrows.bmp"
echo "100 close" >"$scratch/close.txt"
play "$scratch/close.txt" >"$scratch/out.txt" 2>&1 || fail "the second start ended with $?: $(cat "$scratch/out.txt")"
[ "$(readlink "$mine/GloomGrid/added.bmp")" = "$data/added.bmp" ] || fail "the upgrade's new file is not linked"
[ ! -L "$mine/GloomGrid/arrows.bmp" ] || fail "the link to a file the upgrade removed stays"
cmp -s "$scores" "$scratch/scores.before" && [ -f "$mine/GloomGrid/notes.txt" ] || fail "the player's own files changed"

# No place for the per-user folder (a file where its parent should be).
touch "$scratch/file"
out=$(play "$scratch/close.txt" XDG_DATA_HOME="$scratch/file/data" 2>&1)
status=$?
[ $status -eq 1 ] && [[ $out == *"cannot use $scratch/file/data/gloomgrid/GloomGrid"* ]] ||
  fail "an impossible per-user folder: exit $status, \"$out\""

[ $failures -eq 0 ] && echo "package test passed" || exit 1
