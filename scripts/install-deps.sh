#!/usr/bin/env bash
# Installs the Debian packages from scripts/packages.txt that are not installed yet.
#   install-deps.sh           the build, the game and the tests
#   install-deps.sh windows   Wine, to play the Windows build (make windows-e2e)
# packages.txt lists the base packages first; a line "[windows]" starts the
# Windows section. A package named name:i386 adds the i386 architecture first.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
section=${1:-base}
mapfile -t wanted < <(awk -v want="$section" '
  /^\s*(#|$)/ { next }
  /^\[.*\]$/  { cur = substr($0, 2, length($0) - 2); next }
  { if ((cur == "" ? "base" : cur) == want) print $1 }' "$here/packages.txt")
[ ${#wanted[@]} -eq 0 ] && { echo "install-deps: no packages in section '$section'" >&2; exit 2; }
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing ${#missing[@]} packages (the first time takes a few minutes): ${missing[*]}"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
for p in "${missing[@]}"; do
  arch=${p#*:}
  if [ "$arch" != "$p" ] && [ "$arch" != "$(dpkg --print-architecture)" ] &&
     ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    echo "Adding the $arch architecture for $p"
    $sudo_cmd dpkg --add-architecture "$arch"
  fi
done
# apt-get's own progress stays on screen: a first install downloads a lot. On
# a terminal, a progress bar too.
progress=()
[ -t 1 ] && progress=(-o Dpkg::Progress-Fancy=1)
$sudo_cmd apt-get update
$sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  "${progress[@]}" "${missing[@]}"
