#!/usr/bin/env bash
# Installs every Debian package that building, running and testing vorn needs.
# Idempotent: packages already present are skipped, the locale is generated once.
# Uses sudo only when not running as root.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

PKGS=(
  cmake ninja-build make pkg-config
  g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 gcc-mingw-w64-i686 gcc-mingw-w64-x86-64
  mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386
  xvfb openbox x11-utils xdotool imagemagick
  locales fonts-ipafont-gothic fonts-ipafont-mincho
  cmigemo-common libonig-dev dpkg-dev patch libstb-dev
  nasm libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev python3-pil
  googletest libgtest-dev libbenchmark-dev
  python3
)

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine renders Shift-JIS text only when the ANSI code page is 932: that follows LANG.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen
fi

echo "setup: all packages present"

# The sources of migemo.dll and BREGEXP.DLL, Oniguruma and the picture
# decoders built for Windows, and the picture corpus of the plug-in tests.
bash "$(dirname "${BASH_SOURCE[0]}")/components.sh"
