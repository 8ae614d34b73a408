#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing every target.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine32 wine64
  default-jdk-headless junit5
  maven libmaven-install-plugin-java
  liblnk-utils python3-pefile
  xvfb xauth
  qemu-user gcc
  clang libclang-rt-14-dev llvm-14 clang-format
)

missing=()
for p in "${packages[@]}"; do
  # Multiarch packages are asked for with their architecture where dpkg lists them so.
  name=$p
  [ "$p" = wine32 ] && name=wine32:i386
  dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: nothing missing"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]/wine32/wine32:i386}" >/dev/null
echo "install-deps: done"
