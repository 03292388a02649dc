#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with (only those
# that are missing), through apt-get as root or with sudo.
set -euo pipefail
packages=(qt6-base-dev qt6-qpa-plugins libsqlite3-dev zlib1g-dev libcurl4-openssl-dev
          libgtest-dev libbenchmark-dev fonts-liberation2 cmake ninja-build g++
          qt6-translations-l10n xvfb openbox xdotool x11-utils imagemagick python3
          poppler-utils desktop-file-utils python3-pyftpdlib python3-xdg libxcb1-dev makeself)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
