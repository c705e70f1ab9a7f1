#!/bin/sh
# Writes the letter-to-sound reference the engine's rules are measured
# against: a systematic sample of Debian's Brazilian word list (package
# wbrazilian; every 100th word in lower case, so no proper names) with
# espeak-ng's pt-BR transcription of each, one "word<TAB>phonemes" line.
#   scripts/tts-reference.sh [OFFSET [FILE]]
# OFFSET (0..99) picks which word of each hundred; the committed reference
# uses 0, and rules are tuned on other offsets so it stays unseen.
set -eu
offset=${1:-0}
out=${2:-tests/data/tts_reference.tsv}
list=/usr/share/dict/brazilian
words=$(mktemp)
trap 'rm -f "$words" "$words.esp"' EXIT
LC_ALL=C.UTF-8 grep -P '^[a-z\x{e0}-\x{fc}]+$' "$list" |
  LC_ALL=C.UTF-8 grep -vP '[^a-z\x{e1}\x{e0}\x{e2}\x{e3}\x{e7}\x{e9}\x{ea}\x{ed}\x{f3}\x{f4}\x{f5}\x{fa}\x{fc}]' |
  awk -v o="$offset" 'NR % 100 == o' > "$words"
# One sentence per word, so espeak-ng gives one line per word.
sed 's/$/./' "$words" | espeak-ng -v pt-br -x -q > "$words.esp"
[ "$(wc -l < "$words")" -eq "$(wc -l < "$words.esp")" ] || {
  echo "espeak-ng did not give one line per word" >&2; exit 1; }
paste "$words" "$words.esp" | sed 's/\t */\t/' > "$out"
echo "$(wc -l < "$out") words in $out"
