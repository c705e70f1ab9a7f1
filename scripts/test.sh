#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite: the plain
# build, the same suite under AddressSanitizer and UBSan, the program and
# its voice kit as scripts/start.sh builds them (with the voice's coverage
# of the Brazilian word list), the Windows cross compile of the core, and
# short bounded runs of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
jobs=$(nproc)

echo "== build and test"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DTALONIX_SANITIZE=ON -DTALONIX_BENCH=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== the program as scripts/start.sh builds it (Release, -O3)"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTALONIX_TESTS=OFF -DTALONIX_BENCH=OFF
cmake --build build/release -j "$jobs" --target talonix talonix_voice_kit
echo "-- the voice over every word of the Brazilian word list"
build/release/tools/talonix-voice --out build/release/share/tarvek \
  --coverage /usr/share/dict/brazilian

echo "== Windows: cross compile (mingw-w64), the suite under wine, the package"
windows_start=$(date +%s)
cmake -S . -B build/mingw -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DTALONIX_WINDOWS_KIT="$PWD/build/release/share/tarvek"
cmake --build build/mingw -j "$jobs"
# A prefix of the build's own; a wineserver left from an earlier run of it
# can hang a new window.
export WINEPREFIX="$PWD/build/mingw/wine"
wineserver -k 2>/dev/null || true
xvfb-run -a ctest --test-dir build/mingw --output-on-failure
wineserver -k 2>/dev/null || true
cmake --build build/mingw --target package
python3 - build/mingw/talonix-windows-x64.zip <<'PY'
import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
for wanted in ("talonix.exe", "PORTATIL.TXT", "padrao/LUMIRA.INI",
               "padrao/TALONIX.INI", "LEIAME.txt",
               "tarvek/som/difones/DIFONES1.IND", "tarvek/som/letras/_65.wav",
               "tarvek/vireatts/br4.voz"):
    if not any(n.endswith("talonix-windows-x64/" + wanted) for n in names):
        sys.exit("the Windows package lacks " + wanted)
print("package:", len(names), "entries")
PY
unset WINEPREFIX
echo "-- the Windows stage took $(( $(date +%s) - windows_start )) s"

echo "== fuzz targets (bounded)"
# Only the fuzz targets: the suite and the tools are not built a third time.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DTALONIX_FUZZ=ON -DTALONIX_TESTS=OFF -DTALONIX_BENCH=OFF
cmake --build build/fuzz -j "$jobs" --target talonix_fuzz
fuzzed=0
for target in build/fuzz/tests/*_fuzz; do
  [ -x "$target" ] || continue
  fuzzed=$((fuzzed + 1))
  name=$(basename "$target" _fuzz)
  corpus=tests/fuzz/corpus/$name
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "-- $name"
  "$target" -max_total_time=20 -rss_limit_mb=2048 "$work" 2>&1 | tail -n 2
  rm -rf "$work"
done
# A stage that ran nothing has checked nothing.
[ "$fuzzed" -gt 0 ] || { echo "no fuzz target was built"; exit 1; }
echo "== all checks passed"
