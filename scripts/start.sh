#!/usr/bin/env bash
# Installs what is missing, builds and starts Talonix in this terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTALONIX_TESTS=OFF -DTALONIX_BENCH=OFF
cmake --build build/release --target talonix
exec build/release/tools/talonix
