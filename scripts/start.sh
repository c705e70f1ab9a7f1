#!/usr/bin/env bash
# Installs what is missing, builds and starts Talonix: in its own window on
# a desktop, else in this terminal. Arguments go to the program
# (--window, --terminal).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTALONIX_TESTS=OFF -DTALONIX_BENCH=OFF
targets=(talonix)
# The voice kit, where espeak-ng lets the build make it.
if cmake --build build/release --target help | grep -q '^talonix_voice_kit:'; then
  targets+=(talonix_voice_kit)
fi
cmake --build build/release --target "${targets[@]}"
exec build/release/tools/talonix "$@"
