#!/usr/bin/env bash
# Installs the Debian packages from scripts/packages.txt that are not installed yet.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/packages.txt")
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing ${#missing[@]} packages (the first time takes a few minutes): ${missing[*]}"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
# apt-get's own progress stays on screen: a first install downloads a lot. On
# a terminal, a progress bar too.
progress=()
[ -t 1 ] && progress=(-o Dpkg::Progress-Fancy=1)
$sudo_cmd apt-get update
$sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  "${progress[@]}" "${missing[@]}"
