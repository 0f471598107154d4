#!/usr/bin/env bash
# Installs the Debian packages named in the given lists (one a line, # comments) that are
# missing, with sudo when not run as root. "package unless=other" leaves the package out
# where the other one is installed.
set -euo pipefail
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
wanted=()
for list in "$@"; do
  mapfile -t -O "${#wanted[@]}" wanted < <(grep -v '^\s*#' "$list" | sed '/^\s*$/d')
done
missing=()
for line in "${wanted[@]}"; do
  read -r p condition _ <<<"$line"
  if [[ "${condition:-}" == unless=* ]] && installed "${condition#unless=}"; then
    continue
  fi
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
    # Without a terminal sudo cannot ask for the password: say what to run instead of hanging.
    if ! [ -t 0 ] && ! sudo -n true 2>/dev/null; then
      echo "Missing Debian packages: ${missing[*]}" >&2
      echo "There is no terminal to ask for the sudo password. Install them first, from a terminal or as root:" >&2
      echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
      exit 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
