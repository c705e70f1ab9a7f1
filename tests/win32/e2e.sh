#!/usr/bin/env bash
# The Windows program end to end: talonix.exe under wine on an X display
# (run it inside xvfb-run), driven by real key presses. The first screen
# must show the cells the scenario runner paints for the same start, in
# their colours; then help, an entry and ESC must leave the entry in the
# ledger, the settings in C:\windows, and exit code 0.
#
#   e2e.sh TALONIX_EXE TALONIX_RUN_EXE VOICE_KIT_DIR WORK_DIR
set -euo pipefail

exe=$(realpath "$1") runner=$(realpath "$2") kit=$(realpath "$3")
mkdir -p "$4"
work=$(realpath "$4")
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# A prefix of its own: the end of its programs (wineserver -k) touches
# nothing else.
export WINEPREFIX=${TALONIX_E2E_PREFIX:-$work/prefix}
fail() { echo "e2e: $*" >&2; exit 1; }

rm -rf "$work/run" "$work/expected"
mkdir -p "$work/run" "$work/expected"
wineserver -k 2>/dev/null || true  # a GUI left over in this prefix hangs the next
wineboot -i >/dev/null 2>&1 || true
windows="$WINEPREFIX/drive_c/windows"
rm -f "$windows/LUMIRA.INI" "$windows/TALONIX.INI"
# wine has no Lucida Console; its stand-in is taller, so the font's size
# is set for 25 rows to fit the virtual screen.
printf '[VIDEO]\r\nLARGURALETRA=12\r\nALTURALETRA=24\r\n' >"$windows/LUMIRA.INI"
cp "$windows/LUMIRA.INI" "$work/expected/"
# The program finds its voice kit in C:\tarvek.
rm -rf "$WINEPREFIX/drive_c/tarvek"
mkdir -p "$WINEPREFIX/drive_c/tarvek"
cp -r "$kit/." "$WINEPREFIX/drive_c/tarvek/"

# What the first screen must hold: the runner's cells for the same start.
echo "" >"$work/expected/keys.txt"
(cd "$work/expected" && wine "$runner" --keys keys.txt --attrs attrs.txt \
   --screen screen.txt --config-dir . --workdir . \
   --program-path 'C:\tarvek\bin\talonix.exe' >/dev/null 2>&1) ||
  fail "the runner failed"

cd "$work/run"
wine "$exe" &
pid=$!
win=$(timeout 60 xdotool search --sync --name '^Talonix' | head -1) ||
  fail "no window"
sleep 3  # the banner is spoken (silently) and the prompt drawn
xwd -id "$win" -silent -out "$work/first.xwd"
python3 "$here/screen_cells.py" "$work/first.xwd" "$work/expected/attrs.txt" \
  "$work/expected/screen.txt" || fail "the first screen differs"

# Real key events (XTEST) to the focused window: wine tracks Shift from
# them, which it does not from events sent to a window.
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
key() { xdotool key "$@"; sleep 0.7; }
type_() { xdotool type --delay 150 "$1"; sleep 0.7; }
key F1
key l
key Down; type_ Deposito
key Down; type_ 150
key Down; type_ d
key Escape
key Return
key Escape
code=0
timeout 30 tail --pid=$pid -f /dev/null || fail "the program did not end"
wait $pid || code=$?
[ "$code" = 0 ] || fail "exit code $code"

grep -q Deposito "$work/run/brasil.chq" || fail "the entry is not in the ledger"
grep -qi '^\[Bancos\]' "$windows/TALONIX.INI" || fail "no banks in TALONIX.INI"
grep -qi 'brasil.chq' "$windows/TALONIX.INI" || fail "no ledger in TALONIX.INI"
grep -qi '^\[TALONIX\]' "$windows/LUMIRA.INI" || fail "no LUMIRA.INI settings"
echo "e2e: passed"
