#!/usr/bin/env bash
# Installs the Debian packages that building and testing the suite need,
# skipping those already present, and makes the i386 root whose 32-bit Wine
# runs the x86 build (when this kernel runs 32-bit code). Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 libwine-dev xvfb xauth pulseaudio pulseaudio-utils
  x11-apps imagemagick googletest binutils-mingw-w64-x86-64 python3
  fonts-wine debootstrap wixl msitools
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -eq 0 ]; then
  echo "bootstrap: all packages present"
else
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

i386root="$(dirname "$0")/i386root.sh"
if "$i386root" probe; then
  "${sudo_cmd[@]}" "$i386root" make
else
  echo "bootstrap: this kernel runs no 32-bit code; no i386 root"
fi
