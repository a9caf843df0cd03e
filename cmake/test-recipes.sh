#!/bin/sh
# Runs each command line of the README's section "From your tool's output to
# a list", taken from the README itself, on a sample of the shape it is for,
# and checks that plmn then lists what the sample list lists when written
# plainly. The samples are made here from the sample list,
# examples/oplmnwact.txt, and must be the ones in examples/ too, so that the
# lines work as typed on a clone.
#
# Usage: test-recipes.sh SOURCE_DIR COMMAND ...
# COMMAND runs plmn: its path, after an emulator's words for a cross build.
set -eu
source_dir=$1
shift

if ! command -v xxd >/dev/null; then
  echo "skipped: xxd is not installed"
  exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/plmn-recipes.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/examples" "$work/build"
fail() {
  printf '%s\n' "$*" >&2
  exit 1
}

# The samples, each the sample list's 32 entries (160 bytes) in one shape.
hex=$(tr -d '\r\n' <"$source_dir/examples/oplmnwact.txt")
samples=$work/examples
printf '%s' "$hex" | xxd -r -p >"$samples/oplmnwact.bin"
# Bytes separated by blanks and line breaks in lower case, as od prints
# them, then by colons, then a byte a line with CR LF line ends.
{
  head -c 64 "$samples/oplmnwact.bin" | od -An -tx1 -v
  tail -c +65 "$samples/oplmnwact.bin" | head -c 64 | xxd -p -u -c 64 | sed 's/../&:/g; s/:$//'
  tail -c 32 "$samples/oplmnwact.bin" | xxd -p -u -c 1 | sed 's/$/\r/'
} >"$samples/oplmnwact-bytes.txt"
# Hexadecimal wrapped at 32 characters, as xxd -p -c 16 writes it.
xxd -p -c 16 "$samples/oplmnwact.bin" >"$samples/oplmnwact-wrapped.txt"
# A modem log of the reads of the file, 32 bytes at a time, so that entries
# straddle replies, with CR LF line ends: replies quoted and not, one with
# the status 145 (success, with a command of the card's own pending), and a
# read past the end of the file, which fails with a status of its own.
# fold writes no line end after the last piece, which read takes all the
# same: a read that fails at the end of the input may still have read a
# piece.
printf '%s' "$hex" | fold -w 64 | {
  offset=0
  while read -r piece || [ -n "$piece" ]; do
    quote='"' status=144,0
    [ $offset -ne 32 ] || quote=
    [ $offset -ne 64 ] || status=145,26
    printf 'AT+CRSM=176,28513,%d,%d,32\r\n+CRSM: %s,%s%s%s\r\n\r\nOK\r\n' \
      $((offset / 256)) $((offset % 256)) "$status" "$quote" "$piece" "$quote"
    offset=$((offset + 32))
  done
  printf 'AT+CRSM=176,28513,0,160,32\r\n+CRSM: 107,0\r\n\r\nOK\r\n'
} >"$samples/oplmnwact-crsm.log"
# The identities alone, 3 bytes an entry, as EF_FPLMN holds them.
printf '%s' "$hex" | fold -w 10 | cut -c1-6 | tr -d '\n' | xxd -r -p | xxd -p -c 12 \
  >"$samples/fplmn.txt"

for sample in "$samples"/*; do
  name=examples/$(basename "$sample")
  cmp -s "$sample" "$source_dir/$name" || fail "$name is not what the sample list gives"
done

# The command lines of the section, from its sh blocks.
awk '
  /^## / { in_section = ($0 == "## From your tool'\''s output to a list") }
  in_section && /^```/ { in_block = !in_block && $0 == "```sh"; next }
  in_section && in_block && !/^#/ && !/^\.\/build\/plmn / && NF { print }
' "$source_dir/README.md" >"$work/recipes"

# What the sample list gives written plainly; with no access technology
# field, every entry has the stand-in ----.
listing=$(cat "$source_dir/examples/oplmnwact.listing")
sed 's/\(......\)..../\1----/g' "$source_dir/examples/oplmnwact.txt" >"$work/plain-fplmn.txt"
fplmn_listing=$("$@" "$work/plain-fplmn.txt" | tr -d '\r')
[ -n "$fplmn_listing" ] || fail "the identities alone list nothing"

count=0
for sample in oplmnwact-bytes.txt oplmnwact-crsm.log oplmnwact.bin oplmnwact-wrapped.txt \
  fplmn.txt; do
  line=$(grep -F "examples/$sample" "$work/recipes") || fail "no line of the README reads $sample"
  [ "$(printf '%s\n' "$line" | wc -l)" -eq 1 ] || fail "more than one line reads $sample"
  rm -f "$work/build/list.txt"
  (cd "$work" && sh -c "$line") || fail "failed: $line"
  # Every byte of the list, free slots too, which the listing does not
  # show: a recipe or a sample that loses the last of them lists the same.
  [ "$sample" = fplmn.txt ] || [ "$(tr -d '\r\n' <"$work/build/list.txt")" = "$hex" ] ||
    fail "$line does not write the list's bytes, each once, in order"
  got=$("$@" "$work/build/list.txt" | tr -d '\r')
  expected=$listing
  [ "$sample" != fplmn.txt ] || expected=$fplmn_listing
  [ "$got" = "$expected" ] || fail "$line
lists:
$got
where the list itself lists:
$expected"
  printf 'ok: %s\n' "$line"
  count=$((count + 1))
done
[ "$count" -eq "$(wc -l <"$work/recipes")" ] || fail "the README has lines that no sample tries"
