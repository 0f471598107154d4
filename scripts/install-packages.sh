#!/usr/bin/env bash
# Installs the Debian packages named in the given lists (one a line, # comments) that are
# missing, with sudo when not run as root.
set -euo pipefail
wanted=()
for list in "$@"; do
  mapfile -t -O "${#wanted[@]}" wanted < <(grep -v '^\s*#' "$list" | sed '/^\s*$/d')
done
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
