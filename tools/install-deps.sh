#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root.
# Installs nothing when everything is already there.
# Usage: install-deps.sh [--screenshots]
set -eu
export DEBIAN_FRONTEND=noninteractive
packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-i686-dev
          mingw-w64-x86-64-dev libz-mingw-w64-dev googletest wine wine32:i386
          wine64 locales binutils-mingw-w64-i686 python3 g++ zlib1g-dev)
# The sample run without a display: a virtual screen, screenshots, a Japanese font.
if [ "${1:-}" = "--screenshots" ]; then
  packages+=(xvfb xauth imagemagick fonts-ipafont-gothic)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  echo "generating locale ja_JP.UTF-8"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
