#!/bin/sh
# gloomgrid: starts the installed game in the player's own game folder.
#
# The game reads its pictures, sounds and setup.ini from its current folder and
# "..\options.ini" from the folder above, and keeps its hall of fame in
# "hiscore.dat" beside its pictures. The installed files are shared and read
# only, so every player gets a folder of their own:
#   $XDG_DATA_HOME/gloomgrid/          (~/.local/share/gloomgrid/ by default)
#     options.ini                      player name, music and effects
#     GloomGrid/                       links to the installed game files,
#       setup.ini, hiscore.dat         and the player's own files
# Each start links whatever the installed game holds now, so an upgrade's new
# files appear and its removed ones go; the player's own files stay untouched.
# The installed files are found from this script's own place, so the game also
# runs from a package unpacked anywhere.
set -u

fail() {
  echo "gloomgrid: $*" >&2
  exit 1
}

self=$(readlink -f -- "$0") || fail "cannot tell where $0 lies"
prefix=$(cd -- "${self%/*}/.." && pwd -P) || fail "cannot open the folder above ${self%/*}"
data=$prefix/share/games/gloomgrid
binary=$prefix/lib/games/gloomgrid/gloomgrid
[ -d "$data" ] && [ -x "$binary" ] || fail "the game's files are missing under $prefix; reinstall the package"

if [ -n "${XDG_DATA_HOME:-}" ]; then
  base=$XDG_DATA_HOME/gloomgrid
elif [ -n "${HOME:-}" ]; then
  base=$HOME/.local/share/gloomgrid
else
  fail "neither XDG_DATA_HOME nor HOME is set, so there is no folder for your scores and settings"
fi
game=$base/GloomGrid
mkdir -p -- "$game" 2>/dev/null && [ -w "$game" ] ||
  fail "cannot use $game for your scores and settings: it cannot be made or is not writable"

for installed in "$data"/*; do
  [ -e "$installed" ] || continue
  name=${installed##*/}
  mine=$game/$name
  if [ "$name" = setup.ini ]; then
    # The display mode is the player's to change: a copy, made once.
    [ -e "$mine" ] || [ -L "$mine" ] || cp -- "$installed" "$mine" || fail "cannot copy $installed to $mine"
  elif [ -L "$mine" ] || [ ! -e "$mine" ]; then
    ln -sfn -- "$installed" "$mine" || fail "cannot link $mine"
  fi
done
# Links to files that an upgrade took away.
for mine in "$game"/*; do
  if [ -L "$mine" ] && [ ! -e "$mine" ]; then rm -f -- "$mine"; fi
done

# The game's own defaults, written out so that there is a file to edit.
options=$base/options.ini
if [ ! -e "$options" ]; then
  printf '[setup]\nplayerid=0\nmusic=Y\nSFX=Y\n\n[Player1]\nname=Player1\n' >"$options" ||
    fail "cannot write $options"
fi

cd -- "$game" || fail "cannot enter $game"
exec "$binary" "$@"
