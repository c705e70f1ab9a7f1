#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop and
# man(1) will read there: the program, the menu entry, the icon and the two
# manual pages, each well-formed.
# Usage: install_check.sh BUILD_DIR PREFIX
set -uo pipefail
build=$1
prefix=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$prefix"
if ! cmake --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1; then
  cat "$prefix.log"
  echo "FAIL: cmake --install"
  exit 1
fi

desktop=$prefix/share/applications/talonix.desktop
icon=$prefix/share/icons/hicolor/scalable/apps/talonix.svg
pages=("$prefix/share/man/man1/talonix.1" "$prefix/share/man/man1/talonix-run.1")
[ -x "$prefix/bin/talonix" ] || fail "bin/talonix is not installed"
[ -x "$prefix/bin/talonix-run" ] || fail "bin/talonix-run is not installed"
# The program looks for its voice kit beside its own directory.
if [ -d "$build/share/tarvek/som" ] && [ ! -d "$prefix/share/tarvek/som" ]; then
  fail "the voice kit is not installed beside bin/"
fi
for f in "$desktop" "$icon" "${pages[@]}"; do
  [ -f "$f" ] || fail "$f is not installed"
done

# The entry must start the installed program and name the installed icon.
if [ -f "$desktop" ]; then
  grep -qx 'Exec=talonix --window' "$desktop" || fail "the entry does not start talonix --window"
  grep -qx 'Icon=talonix' "$desktop" || fail "the entry's icon is not talonix"
  # The entry's texts are UTF-8, as the desktop standard requires.
  iconv -f UTF-8 -t UTF-8 "$desktop" > /dev/null 2>&1 || fail "the entry is not UTF-8"
  if command -v desktop-file-validate > /dev/null; then
    # Hints and warnings count too: a menu may drop an entry it dislikes.
    out=$(desktop-file-validate "$desktop" 2>&1)
    [ $? -eq 0 ] && [ -z "$out" ] || fail "desktop-file-validate: $out"
  else
    echo "note: desktop-file-validate not found (desktop-file-utils); entry not validated"
  fi
fi

if [ -f "$icon" ]; then
  svg_check='
import sys, xml.dom.minidom
root = xml.dom.minidom.parse(sys.argv[1]).documentElement
assert root.tagName == "svg", root.tagName
assert root.getAttribute("viewBox"), "no viewBox: the icon would not scale"'
  out=$(python3 -c "$svg_check" "$icon" 2>&1) ||
    fail "the icon is not a well-formed SVG: ${out##*$'\n'}"
fi

# The installed programs start from the prefix, and their pages describe
# every option their usage lists. No display: --help must not need one.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$prefix/bin/talonix" --help \
       < /dev/null 2>&1)
rc=$?
[ $rc -eq 0 ] || fail "the installed talonix --help ends with $rc: $help"
usage=$(timeout 10 "$prefix/bin/talonix-run" < /dev/null 2>&1)
rc=$?
[ $rc -eq 2 ] || fail "the installed talonix-run without options ends with $rc: $usage"
check_options() {  # page, usage text
  local opt
  for opt in $(grep -o -- '--[a-z][a-z-]*' <<< "$2" | sort -u); do
    grep -qF -- "${opt//-/\\-}" "$1" || fail "$(basename "$1") does not describe $opt"
  done
}
check_options "${pages[0]}" "$help"
check_options "${pages[1]}" "$usage"

# groff prints a warning for every macro, escape or glyph it cannot use.
if command -v groff > /dev/null; then
  for page in "${pages[@]}"; do
    [ -f "$page" ] || continue
    out=$(groff -man -ww -z "$page" 2>&1)
    [ -z "$out" ] || fail "groff warns on $(basename "$page"): $out"
  done
  # A misspelt accent name is no warning: it renders as a bare mark.
  text=$(groff -man -Tutf8 -P-bcou "${pages[0]}" 2>/dev/null | tr -s ' \n' '  ')
  [[ $text == *'Sua opção'* && $text == *'(não)'* ]] ||
    fail "talonix.1 does not render the Portuguese accents"
else
  echo "note: groff not found; manual pages not checked"
fi

if [ "$failures" -gt 0 ]; then
  echo "the installed tree is kept for a look: $prefix"
  exit 1
fi
# Passed: the prefix holds a copy of the whole voice kit, not worth keeping.
rm -rf "$prefix" "$prefix.log"
echo "install check passed"
