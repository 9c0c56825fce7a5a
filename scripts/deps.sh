#!/usr/bin/env bash
# Installs from Debian's registry whatever the build and the tests need and the machine lacks.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev          # native build and unit tests
  g++-mingw-w64-x86-64-posix                  # the Windows build
  wine64 xvfb fonts-wqy-microhei imagemagick  # running it: Wine, a virtual display, a CJK font, screenshots
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine takes the code page (936) from the locale's name, but the encoding of Unix file names
# from the locale itself: without a generated zh_CN.UTF-8 no Chinese file name can exist.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
