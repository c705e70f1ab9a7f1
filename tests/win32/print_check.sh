#!/usr/bin/env bash
# Prints the model cheque from the Windows test program under wine through a
# CUPS server of our own, then reads the pages back: every text must start
# within two dots of where the program put it. Then, with the server gone,
# the program must say there is no suitable printer.
#
#   print_check.sh TALONIX_TESTS_EXE [WINEPREFIX]
#
# Needs cupsd (cups-daemon), ghostscript's ps2pdf and poppler's pdftotext.
set -euo pipefail

exe=$1
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../cmake/wine-run.sh
export WINEPREFIX=${2:-${WINEPREFIX:-${TMPDIR:-/tmp}/talonix-print-wine}}
export PATH="$PATH:/usr/sbin"
for tool in cupsd ps2pdf pdftotext wine; do
  command -v "$tool" >/dev/null || { echo "print_check: $tool is missing" >&2; exit 1; }
done
started=$(date +%s%N)

root=$(mktemp -d "${TMPDIR:-/tmp}/talonix-print-XXXXXX")
server=
finish() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$root"
}
trap finish EXIT
# Filters run as the lp user when cupsd runs as root.
chmod 755 "$root"
mkdir -p "$root"/{conf/ppd,spool,tmp,cache,state,log,bin/filter,bin/daemon}

cat > "$root/conf/cupsd.conf" <<EOF
Listen $root/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobFiles Yes
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
cat > "$root/conf/cups-files.conf" <<EOF
FileDevice Yes
ServerRoot $root/conf
RequestRoot $root/spool
TempDir $root/tmp
CacheDir $root/cache
StateDir $root/state
ServerBin $root/bin
DataDir /usr/share/cups
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
EOF
cat > "$root/conf/printers.conf" <<EOF
<DefaultPrinter Cheques>
DeviceURI file://$root/printed.ps
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
EOF
# An A4 PostScript printer of 600 dpi printing the whole sheet; its only
# filter passes the job on unchanged.
cat > "$root/conf/ppd/Cheques.ppd" <<'EOF'
*PPD-Adobe: "4.3"
*ModelName: "Talonix Cheques"
*NickName: "Talonix Cheques"
*cupsFilter: "application/postscript 0 passps"
*DefaultPageSize: A4
*PageSize A4: "<</PageSize[595 842]>>setpagedevice"
*DefaultImageableArea: A4
*ImageableArea A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4: "595 842"
*DefaultResolution: 600dpi
EOF
printf '#!/bin/sh\nif [ -n "$6" ]; then exec cat "$6"; else exec cat; fi\n' > "$root/bin/filter/passps"
chmod 755 "$root/bin/filter/passps"
ln -s /usr/lib/cups/daemon/cups-exec "$root/bin/daemon/cups-exec"

cupsd -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" &
server=$!
for _ in $(seq 50); do [ -S "$root/cups.sock" ] && break; sleep 0.1; done
[ -S "$root/cups.sock" ] || { echo "print_check: cupsd did not start" >&2; exit 1; }

# One test of the program; skipped counts as failed here.
run_test() {
  CUPS_SERVER=$root/cups.sock TALONIX_PRINT_CHECK=$1 TALONIX_PRINT_CHECK_DIR=$root \
    "$wine_run" "$exe" --gtest_filter="Win32ChequePrintTest.$2" > "$root/run.log" 2>&1 ||
    { cat "$root/run.log"; exit 1; }
  if grep -q SKIPPED "$root/run.log"; then cat "$root/run.log"; exit 1; fi
}

run_test queue TheModelReachesTheQueueAtItsLayoutPositions
# The jobs as wine sent them, in order; the queue printed the last one.
mapfile -t jobs < <(find "$root/spool" -name 'd*-001' | sort)
[ "${#jobs[@]}" -eq 4 ] || { echo "print_check: ${#jobs[@]} jobs, not 4" >&2; exit 1; }
for _ in $(seq 50); do [ -s "$root/printed.ps" ] && break; sleep 0.1; done
[ -s "$root/printed.ps" ] || { echo "print_check: the queue printed nothing" >&2; exit 1; }

for i in "${!jobs[@]}"; do
  ps2pdf "${jobs[$i]}" "$root/page.pdf"
  pdftotext -bbox "$root/page.pdf" - | sed -n "s|.*<word xMin=\"\([0-9.]*\)\" yMin=\"\([0-9.]*\)\" xMax=\"\([0-9.]*\)\" yMax=\"\([0-9.]*\)\">\(.*\)</word>|$((i + 1)) \1 \2 \3 \4 \5|p"
done > "$root/words.txt"

# Upright text starts at its cell's top left corner; turned text runs up
# from the point, its cell to the right of it. The start is exact to two
# dots; across the text only the cell is known, so the word's box must lie
# in it.
awk -v expected="$root/expected.txt" '
  BEGIN {
    getline head < expected; split(head, h, " "); dpiX = h[2]; dpiY = h[3]; cell = h[5]
    while ((getline line < expected) > 0) want[++n] = line
  }
  { words[++m] = $0 }
  END {
    bad = 0
    for (i = 1; i <= n; ++i) {
      split(want[i], e, " "); found = 0; seen = ""
      for (j = 1; j <= m; ++j) {
        split(words[j], w, " ")
        if (w[1] != e[1] || w[6] != e[5]) continue
        x0 = w[2] * dpiX / 72; y0 = w[3] * dpiY / 72; x1 = w[4] * dpiX / 72; y1 = w[5] * dpiY / 72
        seen = seen sprintf(" (%.1f %.1f %.1f %.1f)", x0, y0, x1, y1)
        if (e[2] == "u") ok = x0 - e[3] <= 2 && e[3] - x0 <= 2 && y0 >= e[4] - 2 && y1 <= e[4] + cell + 2
        else ok = y1 - e[4] <= 2 && e[4] - y1 <= 2 && x0 >= e[3] - 2 && x1 <= e[3] + cell + 2
        if (ok) found = 1
      }
      if (!found) { print "print_check: not in place: " want[i] " found:" seen; bad = 1 }
    }
    if (n < 22) { print "print_check: only " n " expectations"; bad = 1 }
    exit bad
  }' "$root/words.txt"

# The printer goes away.
kill "$server"; wait "$server" 2>/dev/null || true; server=
run_test none WithoutAPrinterTheUserHearsSoAndNothingIsLeft

echo "print_check: passed in $(( ($(date +%s%N) - started) / 1000000 )) ms"
