#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (run as root).
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=(wine wine32:i386 wine64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
      mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
      xvfb xauth fonts-ipafont-gothic fonts-wine cmake ninja-build googletest imagemagick
      python3 git ca-certificates xdotool clang libclang-rt-14-dev)

# Wine names files on disk in the Unix locale's character set: without a
# generated UTF-8 locale a folder named with a letter outside ASCII cannot
# be made, and the tests make one (Pokémon).
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  command -v localedef >/dev/null 2>&1 || { apt-get update -qq && apt-get install -y -qq locales >/dev/null; }
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
