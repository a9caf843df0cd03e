#!/bin/sh
# Runs each command line of the README's section "From your tool's output to
# a list", taken from the README itself, on samples of the shapes it is for,
# and checks that plmn then lists what the sample list lists when written
# plainly, or, for the inputs that must fail, that the line fails with a
# message and writes no list. The samples are made here from the sample list,
# examples/oplmnwact.txt, and must be the ones in examples/ too, so that the
# lines work as typed on a clone. A line that runs awk runs under each awk
# installed among mawk, gawk, gawk --posix, the BSD one (original-awk) and
# BusyBox's, since the README's users have any of them.
#
# Usage: [PLMN_WRITE_SAMPLES=yes] test-recipes.sh SOURCE_DIR COMMAND ...
# COMMAND runs plmn: its path, after an emulator's words for a cross build.
set -eu
source_dir=$1
shift

for tool in xxd hexdump; do
  if ! command -v $tool >/dev/null; then
    echo "skipped: $tool is not installed (Debian: xxd, bsdextrautils)"
    exit 0
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/plmn-recipes.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/examples" "$work/build" "$work/bad"
fail() {
  printf '%s\n' "$*" >&2
  exit 1
}

# The samples, each the sample list's 32 entries (160 bytes) in one shape.
hex=$(tr -d '\r\n' <"$source_dir/examples/oplmnwact.txt")
samples=$work/examples
bin=$samples/oplmnwact.bin
printf '%s' "$hex" | xxd -r -p >"$bin"
# bytes OFFSET COUNT: those bytes of the list.
bytes() {
  tail -c +$(($1 + 1)) "$bin" | head -c "$2"
}
# piece OFFSET COUNT: those bytes of the list in hexadecimal.
piece() {
  printf '%s' "$hex" | cut -c $(($1 * 2 + 1))-$((($1 + $2) * 2))
}
# Bytes separated by blanks, as od -An -v -tx1 prints them; as
# hexdump -v -e '16/1 "%02x " "\n"' prints them, with blanks after the last
# line's bytes for those it lacks; wrapped hexadecimal, as xxd -p -c 16 writes
# it; bytes separated by colons, then by tabs; then a byte a line with CR LF
# line ends.
{
  bytes 0 48 | od -An -v -tx1
  bytes 48 28 | hexdump -v -e '16/1 "%02x " "\n"'
  bytes 76 36 | xxd -p -c 16
  bytes 112 16 | xxd -p -u -c 16 | sed 's/../&:/g; s/:$//'
  bytes 128 16 | xxd -p -u -c 16 | sed 's/../& /g; s/ $//' | tr ' ' '\t'
  bytes 144 16 | xxd -p -u -c 1 | sed 's/$/\r/'
} >"$samples/oplmnwact-bytes.txt"
# Dumps with an offset column: od's (octal offsets), with CR LF line ends as
# if saved on Windows, hexdump -C's, and xxd's.
od -tx1 "$bin" | sed 's/$/\r/' >"$samples/oplmnwact-od.txt"
hexdump -C "$bin" >"$samples/oplmnwact-hexdump.txt"
xxd "$bin" >"$samples/oplmnwact-xxd.txt"
# The same list padded with 48 bytes of FF, so that od and hexdump squeeze
# the lines that repeat into a '*' line and leave their bytes out.
{
  cat "$bin"
  head -c 48 /dev/zero | tr '\0' '\377'
} >"$work/padded.bin"
od -tx1 "$work/padded.bin" >"$work/bad/squeezed-od.txt"
hexdump -C "$work/padded.bin" >"$work/bad/squeezed-hexdump.txt"
for dump in "$work"/bad/squeezed-*; do
  grep -q '^\*' "$dump" || fail "$dump has no '*' line to try"
done

# A modem log of the reads of the file, 32 bytes at a time, so that entries
# straddle replies, with CR LF line ends, leaving out the reads at the offset
# given (none: -1). Before each line, a time stamp and a direction marker,
# and the replies in every shape: quoted and not, indented, in lower case,
# from mmcli. A GET RESPONSE before the reads and after them, whose reply
# succeeds too; a read sent again after a timeout, whose first reply comes
# late, after the second command; the reads out of order, the first one
# twice; another file's read (EF_IMSI); a reply with the status 145 (success,
# with a command of the card's own pending), and a read past the end of the
# file, which fails. What must be left out comes after the last read of the
# bytes it would take the place of, so that keeping it changes the list.
get_response() {
  echo "$1.100 << AT+CRSM=192,28513,0,0,25"
  echo "$1.180 >> +CRSM: 144,0,\"62178202412183026F618A01058B036F0603800200A0880118\""
  echo "$1.181 >> OK"
}
read_first() {
  echo "$1.300 << AT+CRSM=176,28513,0,0,32"
  echo "$1.390 >> +CRSM: 144,0,\"$(piece 0 32)\""
  echo "$1.391 >> OK"
}
crsm_log() {
  {
    get_response 10:00:01
    [ "$1" -eq 0 ] || read_first 10:00:01
    if [ "$1" -ne 32 ]; then
      echo '10:00:01.600 << AT+CRSM=176,28513,0,32,32'
      echo '10:00:06.600 -- no reply in 5 s: sent again'
      echo '10:00:06.610 << AT+CRSM=176,28513,0,32,32'
      echo "10:00:06.690 >> +CRSM: 144,0,$(piece 32 32)"
      echo '10:00:06.691 >> OK'
      echo "10:00:06.700 >> +CRSM: 144,0,$(piece 32 32)"
      echo '10:00:06.701 >> OK'
    fi
    if [ "$1" -ne 96 ]; then
      echo '10:00:06.800 << AT+CRSM=176,28513,0,96,32'
      echo "10:00:06.880 >>     +CRSM: 145,26,\"$(piece 96 32)\""
      echo '10:00:06.881 >>     OK'
    fi
    if [ "$1" -ne 64 ]; then
      echo '10:00:07.000 << at+crsm=176, 28513, 0, 64, 32'
      echo "10:00:07.090 >> +crsm: 144, 0, \"$(piece 64 32 | tr A-F a-f)\""
      echo '10:00:07.091 >> ok'
    fi
    [ "$1" -eq 0 ] || read_first 10:00:07
    echo '10:00:07.400 << AT+CRSM=176,28423,0,0,9'
    echo '10:00:07.460 >> +CRSM: 144,0,"082926100132547698"'
    echo '10:00:07.461 >> OK'
    if [ "$1" -ne 128 ]; then
      echo "10:00:07.500 $ mmcli -m 0 --command='AT+CRSM=176,28513,0,128,32'"
      echo "10:00:07.600 response: '+CRSM: 144,0,\"$(piece 128 32)\"'"
    fi
    get_response 10:00:08
    echo '10:00:08.300 << AT+CRSM=176,28513,0,160,32'
    echo '10:00:08.390 >> +CRSM: 107,0'
    echo '10:00:08.391 >> OK'
  } | sed 's/$/\r/'
}
crsm_log -1 >"$samples/oplmnwact-crsm.log"
crsm_log 64 >"$work/bad/gap.log"
# mmcli --command's output saved alone, one read after the other: replies
# with no command before them.
for offset in 0 32 64 96 128; do
  echo "response: '+CRSM: 144,0,\"$(piece $offset 32)\"'"
done >"$samples/oplmnwact-mmcli.txt"
# The identities alone, 3 bytes an entry, as EF_FPLMN holds them.
printf '%s' "$hex" | fold -w 10 | cut -c1-6 | tr -d '\n' | xxd -r -p | xxd -p -c 12 \
  >"$samples/fplmn.txt"

# PLMN_WRITE_SAMPLES=yes writes them into examples/ instead, for a sample
# new or changed here.
for sample in "$samples"/*; do
  name=examples/$(basename "$sample")
  if [ "${PLMN_WRITE_SAMPLES:-}" = yes ]; then
    cp "$sample" "$source_dir/$name"
  fi
  cmp -s "$sample" "$source_dir/$name" || fail "$name is not what the sample list gives"
done
for file in "$source_dir"/examples/*; do
  name=$(basename "$file")
  case $name in
    oplmnwact.txt | oplmnwact.listing | crsm.awk) ;;
    *) [ -f "$samples/$name" ] || fail "examples/$name is not made from the sample list" ;;
  esac
done
cp "$source_dir/examples/crsm.awk" "$samples/"

# The command lines of the section, from its sh blocks.
awk '
  /^## / { in_section = ($0 == "## From your tool'\''s output to a list") }
  in_section && /^```/ { in_block = !in_block && $0 == "```sh"; next }
  in_section && in_block && !/^#/ && !/^\.\/build\/plmn / && NF { print }
' "$source_dir/README.md" >"$work/recipes"

# An awk command of each awk installed, in a folder of its own to put first
# in PATH.
awks=
for candidate in mawk gawk "gawk --posix" original-awk "busybox awk"; do
  $candidate 'BEGIN { exit 0 }' 2>/dev/null || continue
  dir=$work/awk/$(printf '%s' "$candidate" | tr ' ' '-')
  mkdir -p "$dir"
  printf '#!/bin/sh\nexec %s "$@"\n' "$candidate" >"$dir/awk"
  chmod +x "$dir/awk"
  awks="$awks $dir"
done
[ -n "$awks" ] || awks=system

# What the sample list gives written plainly; with no access technology
# field, every entry has the stand-in ----.
listing=$(cat "$source_dir/examples/oplmnwact.listing")
sed 's/\(......\)..../\1----/g' "$source_dir/examples/oplmnwact.txt" >"$work/plain-fplmn.txt"
fplmn_listing=$("$@" "$work/plain-fplmn.txt" | tr -d '\r')
[ -n "$fplmn_listing" ] || fail "the identities alone list nothing"

# run SAMPLE INPUT AWK: runs the README's line that reads examples/SAMPLE on
# INPUT (a path in the work folder) in place of the sample, with the awk of
# the folder AWK first in PATH (system: as it is), into build/list.txt. Sets
# ran to the command, and status to its exit status; its standard error goes
# to the file stderr.
run() {
  line=$(grep -F "examples/$1" "$work/recipes") || fail "no line of the README reads examples/$1"
  [ "$(printf '%s\n' "$line" | wc -l)" -eq 1 ] || fail "more than one line reads examples/$1"
  printf '%s\n' "$line" >>"$work/tried"
  ran=${line%%"examples/$1"*}$2${line#*"examples/$1"}
  path=$PATH
  [ "$3" = system ] || path=$3:$PATH
  rm -f "$work/build/list.txt"
  status=0
  (cd "$work" && PATH=$path sh -c "$ran") 2>"$work/stderr" || status=$?
}
# The awks to run LINE under: each one where it runs awk.
awks_for() {
  case $1 in
    *awk*) echo "$awks" ;;
    *) echo system ;;
  esac
}

# Each sample, with the sample whose line reads it: each line is run on the
# sample it names, and some on other shapes as well.
for pair in oplmnwact-bytes.txt oplmnwact.bin oplmnwact-od.txt \
  oplmnwact-hexdump.txt=oplmnwact-od.txt oplmnwact-xxd.txt \
  oplmnwact-crsm.log oplmnwact-mmcli.txt=oplmnwact-crsm.log fplmn.txt; do
  sample=${pair%%=*}
  named=${pair#*=}
  echo "$sample" >>"$work/samples-tried"
  expected=$listing
  [ "$sample" != fplmn.txt ] || expected=$fplmn_listing
  for awk_dir in $(awks_for "$(grep -F "examples/$named" "$work/recipes" || true)"); do
    run "$named" "examples/$sample" "$awk_dir"
    [ "$status" -eq 0 ] && [ ! -s "$work/stderr" ] || fail "failed (status $status): $ran
$(cat "$work/stderr")"
    # Every byte of the list, free slots too, which the listing does not
    # show: a recipe that loses the last of them lists the same.
    [ "$sample" = fplmn.txt ] || [ "$(tr -d '\r\n' <"$work/build/list.txt")" = "$hex" ] ||
      fail "$ran (awk: ${awk_dir##*/}) does not write the list's bytes, each once, in order"
    got=$("$@" "$work/build/list.txt" | tr -d '\r')
    [ "$got" = "$expected" ] || fail "$ran (awk: ${awk_dir##*/})
lists:
$got
where the list itself lists:
$expected"
    printf 'ok (awk: %s): %s\n' "${awk_dir##*/}" "$ran"
  done
done

# The inputs that must fail, with the sample whose line reads them and what
# the message must say: a '*' line in a dump, and a log whose reads leave a
# gap. The line must fail with that message and write no list: an empty
# list.txt, since the shell makes it before the command runs.
for case in "squeezed-od.txt=oplmnwact-od.txt=-v" "squeezed-hexdump.txt=oplmnwact-od.txt=-v" \
  "gap.log=oplmnwact-crsm.log=bytes 64 to 95"; do
  input=${case%%=*}
  named=${case#*=}
  message=${named#*=}
  named=${named%%=*}
  for awk_dir in $(awks_for "$(grep -F "examples/$named" "$work/recipes" || true)"); do
    run "$named" "bad/$input" "$awk_dir"
    [ "$status" -ne 0 ] || fail "$ran (awk: ${awk_dir##*/}) does not fail"
    grep -qF -- "$message" "$work/stderr" ||
      fail "$ran (awk: ${awk_dir##*/}) does not say '$message': $(cat "$work/stderr")"
    [ ! -s "$work/build/list.txt" ] || fail "$ran (awk: ${awk_dir##*/}) writes a list"
    printf 'ok (awk: %s), fails: %s: %s\n' "${awk_dir##*/}" "$ran" "$(cat "$work/stderr")"
  done
done

[ "$(sort -u "$work/tried" | wc -l)" -eq "$(wc -l <"$work/recipes")" ] ||
  fail "the README has lines that no sample tries"
for sample in "$samples"/*; do
  name=$(basename "$sample")
  [ "$name" = crsm.awk ] || grep -qxF "$name" "$work/samples-tried" ||
    fail "no line is tried on examples/$name"
done
