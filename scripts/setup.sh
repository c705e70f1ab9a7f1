#!/usr/bin/env bash
# Installs what the build needs on Debian 12, only when something is missing.
# Usage: scripts/setup.sh [run|test]
set -euo pipefail
purpose=${1:-run}
packages=(cmake ninja-build g++ pkg-config libsdl2-dev libespeak-ng-dev
          libspeechd-dev libcairo2-dev libcups2-dev fonts-liberation
          libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core libx11-dev)
if [ "$purpose" = test ]; then
  packages+=(python3 libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
             g++-mingw-w64-x86-64 googletest wbrazilian cups-daemon poppler-utils
             wine wine64 xvfb xdotool x11-apps ghostscript desktop-file-utils
             groff-base)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
