#!/bin/sh
# Runs each command line of the README's section "From your tool's output to
# a list", taken from the README itself, on captures of the sample list
# (examples/oplmnwact.txt) in every shape the section names, made here as
# the tools print them. Each line must either list exactly what the sample
# list lists, having written every byte of it, or fail: write nothing into
# build/list.txt and nothing on standard output, and say on one line of
# standard error what is wrong. So each line is given every capture:
#  - those of its own shape list, or fail with the message the table gives;
#  - those of another shape, and UTF-16 text of any shape, fail.
# The captures of examples/ must be the ones made here, so that the lines
# work as typed on a clone. The lines that run awk run under each awk
# installed among mawk, gawk, gawk --posix, the BSD one (original-awk) and
# BusyBox's, since the README's users have any of them.
#
# Usage: [PLMN_WRITE_SAMPLES=yes] test-recipes.sh SOURCE_DIR COMMAND ...
# COMMAND runs plmn: its path, after an emulator's words for a cross build.
set -eu
source_dir=$1
shift

for tool in xxd hexdump iconv; do
  if ! command -v $tool >/dev/null; then
    echo "skipped: $tool is not installed (Debian: xxd, bsdextrautils, libc-bin)"
    exit 0
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/plmn-recipes.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/examples" "$work/build" "$work/captures"
fail() {
  printf '%s\n' "$*" >&2
  exit 1
}

# ---- The captures. Each is named SHAPE.LINE.EXPECTED: LINE is the line of
# the README that reads it (text, binary or fplmn), and EXPECTED is "list",
# or the words its line's message must hold, "_" for a blank.

hex=$(tr -d '\r\n' <"$source_dir/examples/oplmnwact.txt")
samples=$work/examples
captures=$work/captures
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
crlf() {
  sed 's/$/\r/'
}
# capture NAME: standard input is the capture NAME.
capture() {
  cat >"$captures/$1"
}

# Separated bytes and wrapped hexadecimal: as od -An -v -tx1 prints them; as
# hexdump -v -e '16/1 "%02x " "\n"' does, with blanks after the last line's
# bytes for those it lacks; wrapped at 16 bytes, as xxd -p -c 16 writes it;
# separated by colons, then by tabs; then a byte a line with CR LF line ends.
{
  bytes 0 48 | od -An -v -tx1
  bytes 48 28 | hexdump -v -e '16/1 "%02x " "\n"'
  bytes 76 36 | xxd -p -c 16
  bytes 112 16 | xxd -p -u -c 16 | sed 's/../&:/g; s/:$//'
  bytes 128 16 | xxd -p -u -c 16 | sed 's/../& /g; s/ $//' | tr ' ' '\t'
  bytes 144 16 | xxd -p -u -c 1 | crlf
} >"$samples/oplmnwact-bytes.txt"
xxd -p "$bin" | capture xxd-p.text.list
xxd -p -c 7 "$bin" | capture xxd-p-c7.text.list
# More bytes than a card's file holds: the list 410 times, 65600 bytes.
i=0
while [ $i -lt 410 ]; do
  xxd -p "$bin"
  i=$((i + 1))
done | capture too-long.text.65535_bytes
xxd -p -c 16 "$bin" | tr '\n' '\r' | capture wrapped-cr.text.list
printf '\357\273\277%s\r\n' "$hex" | capture one-line-bom.text.list
# A PC/SC trace, a header, status words with their text or alone, a "*"
# line, a lost digit, bytes grouped in twos.
{
  echo '> 00 A4 08 04 04 7F FF 6F 61'
  echo '< 62 1E 82 02 41 21 83 02 6F 61 90 00'
  echo '> 00 B0 00 00 A0'
  printf '< %s 90 00\n' "$(piece 0 160 | sed 's/../& /g; s/ $//')"
} | capture apdu-trace.text.not_hexadecimal
{
  echo 'EF_OPLMNwACT:'
  od -An -v -tx1 "$bin"
} | capture header.text.not_hexadecimal
{
  od -An -v -tx1 "$bin"
  echo '90 00 (success)'
} | capture status-word-text.text.not_hexadecimal
{
  od -An -v -tx1 "$bin"
  echo '90 00'
} | capture status-word.text.5-byte_entries
xxd -p "$bin" | sed '1s/^.//' | capture lost-digit.text.odd_number
xxd "$bin" | cut -c 11-49 | capture two-byte-groups.text.two_digits
# Too few entries for the file, and decimal identities alone, 3 bytes each,
# which only the access technology they would stand in tells from 5-byte
# entries (given to that line alone: they are a list of 3-byte entries).
xxd -p -l 35 "$bin" | capture few-entries.text.at_least_8
i=0
while [ $i -lt 10 ]; do
  printf '130014130062130021130051'
  i=$((i + 1))
done | capture decimal-identities.only-text.last_3_bits

# Dumps with an offset column, each as its tool prints it, in a shape of
# its own: od's offsets in octal (CR LF line ends, as saved on Windows), in
# decimal and in hexadecimal with the text column, at widths of 16, 5 and
# 12; hexdump -C's; xxd's, with the default groups, with none at a width of
# 12, with groups of 3 in upper case, and a byte a group at a width of 7.
od -tx1 "$bin" | crlf >"$samples/oplmnwact-od.txt"
hexdump -C "$bin" >"$samples/oplmnwact-hexdump.txt"
xxd "$bin" >"$samples/oplmnwact-xxd.txt"
od -Ad -v -tx1 -w5 "$bin" | capture od-ad-w5.text.list
od -Ax -v -tx1z -w12 "$bin" | capture od-ax-z-w12.text.list
xxd -g0 -c12 "$bin" | capture xxd-g0-c12.text.list
xxd -u -g3 -c10 "$bin" | capture xxd-g3-c10.text.list
xxd -g1 -c7 "$bin" | tr '\n' '\r' | capture xxd-g1-c7-cr.text.list
xxd -c1 "$bin" | capture xxd-c1.text.list
# od's text column holding a "|" (a byte 7C), which hexdump -C's starts with.
od -Ax -v -tx1z "$bin" | sed '1s/>./>|/' | capture od-z-bar.text.list
# The same list padded with 48 bytes of FF, so that od and hexdump squeeze
# the lines that repeat into a "*" line and leave their bytes out.
{
  cat "$bin"
  head -c 48 /dev/zero | tr '\0' '\377'
} >"$work/padded.bin"
# Cut short after the blanks that follow a line's offset.
hexdump -C -v "$work/padded.bin" | head -c 800 | capture cut-after-offset.text.cut_short_there
od -tx1 "$work/padded.bin" | capture squeezed-od.text.dump_again_with_-v
hexdump -C "$work/padded.bin" | capture squeezed-hexdump.text.dump_again_with_-v
od -An -tx1 "$work/padded.bin" | capture squeezed-od-an.text.dump_again_with_-v
hexdump -e '16/1 "%02x " "\n"' "$work/padded.bin" | capture squeezed-hexdump-e.text.dump_again_with_-v
for name in squeezed-od.text.dump_again_with_-v squeezed-hexdump.text.dump_again_with_-v squeezed-od-an.text.dump_again_with_-v \
  squeezed-hexdump-e.text.dump_again_with_-v; do
  grep -q '^\*' "$captures/$name" || fail "$name has no '*' line to try"
done
# A line lost, the end lost, 2-byte words, and xxd's little-endian groups
# and its lines with their blanks squeezed, as some pages show them.
od -tx1 "$bin" | sed 3d | capture lost-line-od.text.where_40_was_due
od -Ax -tx1z -w12 "$bin" | sed 5d | capture lost-line-od-z.text.where_30_was_due
hexdump -C "$bin" | sed 2d | capture lost-line-hexdump.text.where_10_was_due
# The offset of the end after a whole line, without a line end: it may be
# a line cut short after its offset.
printf '%s' "$(od -tx1 "$bin")" | capture no-line-end.text.end_it_with_a_line_end
xxd "$bin" | sed 4d | capture lost-line-xxd.text.where_30_was_due
od -tx1 "$bin" | sed '$d' | capture lost-end-od.text.end_is_missing
hexdump -C "$bin" | sed '$d' | capture lost-end-hexdump.text.end_is_missing
od "$bin" | capture od-words.text.2-byte_words
od -tx2 "$bin" | capture od-tx2.text.2-byte_words
hexdump "$bin" | capture hexdump-words.text.2-byte_words
xxd -e "$bin" | capture xxd-e.text.xxd_-e
xxd "$bin" | tr -s ' ' | capture xxd-squeezed.text.two_blanks

# Modem logs of AT+CRSM, read 32 bytes at a time, so that entries straddle
# replies. Before each line a time stamp and a direction marker, with CR LF
# line ends. A GET RESPONSE whose USIM description gives the file's size,
# 160 bytes; the reads out of order, the first one twice; another file's
# GET RESPONSE and read (EF_IMSI), each placed where keeping it would change
# the list; two reads joined on one line; a reply in lower case, unquoted; a
# status of 145 (success, with a command of the card's own pending); an mmcli
# command typed without AT; and a read past the end, which fails.
description=62178202412183026F618A01058B036F0603800200A0880118
imsi_description=62178202412183026F078A01058B036F060380020009880138
read_log() { # OFFSET COUNT [STATUS]: a read and its reply
  echo "10:00:0$(($1 / 32)).300 << AT+CRSM=176,28513,0,$1,$2"
  echo "10:00:0$(($1 / 32)).390 >> +CRSM: ${3:-144,0},\"$(piece "$1" "$2")\""
  echo "10:00:0$(($1 / 32)).391 >> OK"
}
crsm_log() { # the log, leaving out what its argument names
  {
    echo '10:00:00.000 -- modem ready'
    echo '10:00:00.100 << AT+CRSM=192,28513'
    echo "10:00:00.180 >> +CRSM: 144,0,\"$description\""
    echo '10:00:00.181 >> OK'
    [ "$1" = first ] || read_log 0 32
    echo '10:00:00.400 << AT+CRSM=192,28423'
    echo "10:00:00.480 >> +CRSM: 144,0,\"$imsi_description\""
    echo '10:00:00.481 >> OK'
    [ "$1" = middle ] || read_log 96 32 145,26
    echo "10:00:03.500 << at+crsm=176,28513,0,32,32;+crsm=176,28513,0,64,32"
    echo "10:00:03.590 >> +crsm: 144,0,$(piece 32 32 | tr A-F a-f)"
    echo "10:00:03.600 >> +CRSM: 144, 0, \"$(piece 64 32)\""
    echo '10:00:03.601 >> OK'
    read_log 0 32
    echo '10:00:04.300 >> +CIEV: "MESSAGE",1'
    echo '10:00:04.400 << AT+CRSM=176,28423,0,0,9'
    echo '10:00:04.460 >> +CRSM: 144,0,"082926100132547698"'
    echo '10:00:04.461 >> OK'
    if [ "$1" != last ]; then
      echo "10:00:04.500 \$ mmcli -m 0 --command='+CRSM=176,28513,0,128,32'"
      echo "10:00:04.600 response: '+CRSM: 144,0,\"$(piece 128 32)\"'"
    fi
    echo '10:00:05.300 << AT+CRSM=176,28513,0,160,32'
    echo '10:00:05.390 >> +CRSM: 107,0'
    echo '10:00:05.391 >> OK'
  } | crlf
}
crsm_log none >"$samples/oplmnwact-crsm.log"
crsm_log middle | capture gap.text.bytes_96_to_127
crsm_log last | capture lost-end.text.bytes_128_to_159
crsm_log none | tr -d '\n' | capture crsm-cr.text.list
# mmcli's own session: the commands typed without AT, a 2G card's GET
# RESPONSE (the size in bytes 3 and 4, the file in 5 and 6), the last read
# asking past the end, which the card answers with 98,130 (62 82) and the
# bytes it has.
sim_description=000000A06F61040011F04401020000
{
  echo "$ mmcli -m 0 --command='+CRSM=192,28513,0,0,15'"
  echo "response: '+CRSM: 144,0,\"$sim_description\"'"
  for offset in 0 40; do
    echo "$ mmcli -m 0 --command='+CRSM=176,28513,0,$offset,40'"
    echo "response: '+CRSM: 144,0,\"$(piece $offset 40)\"'"
  done
  # A command in double quotes, without P3; before its reply, a text
  # message whose text ends in OK, which is no final result.
  echo "$ mmcli -m 0 --command=\"AT+CRSM=176,28513,0,80\""
  echo '+CMT: "+447700900123",,"26/12/10,10:00:07+00"'
  echo 'see you at 8, OK'
  echo "response: '+CRSM: 144,0,\"$(piece 80 40)\"'"
  echo "$ mmcli -m 0 --command='+CRSM=176,28513,0,120,64'"
  echo "response: '+CRSM: 98,130,\"$(piece 120 40)\"'"
} | capture mmcli-session.text.list
# A terminal program's log: times and directions in brackets, one read
# refused (ERROR), the line ends it saw written out as <CR> and <LF>, and
# blanks before "=", which V.250 allows. Then a log saved as CSV, which
# doubles the quotes inside its fields.
{
  echo "[10:00:00.037][TX] AT+CRSM=192,28513"
  echo "[10:00:00.074][RX] +CRSM: 144,0,\"$description\""
  echo '[10:00:00.111][RX] OK'
  echo '[10:00:00.148][TX] AT+CRSM=176,28513,0,0,300'
  echo '[10:00:00.185][RX] <CR><LF>ERROR<CR><LF>'
  for offset in 0 40 80 120; do
    echo "[10:00:01.000][TX] AT+CRSM =176,28513,0,$offset,40<CR>"
    echo "[10:00:01.040][RX] +CRSM: 144,0,\"$(piece $offset 40)\"<CR><LF><CR><LF>OK<CR><LF>"
  done
} | capture tx-rx.text.list
{
  echo 'time,direction,text'
  echo '10:00:00.037,TX,"AT+CRSM=192,28513"'
  echo "10:00:00.074,RX,\"+CRSM: 144,0,\"\"$description\"\"\""
  echo '10:00:00.111,RX,"OK"'
  for offset in 0 80; do
    echo "10:00:01.000,TX,\"AT+CRSM=176,28513,0,$offset,80\""
    echo "10:00:01.040,RX,\"+CRSM: 144,0,\"\"$(piece $offset 80)\"\"\""
    echo '10:00:01.041,RX,"OK"'
  done
} | capture csv.text.list
# The faults of logs that the reads alone would not show: a late reply to a
# read sent again after a timeout, a garbled echo, a reply cut short by the
# console with its quote and without, a read that reads other bytes the
# second time, a log of another file, and a GET RESPONSE of another file
# among replies saved alone.
{
  read_log 0 32
  echo '10:00:01.000 << AT+CRSM=176,28513,0,32,32'
  echo '10:00:06.000 -- no reply in 5 s: sent again'
  echo '10:00:06.010 << AT+CRSM=176,28513,0,32,32'
  echo "10:00:06.090 >> +CRSM: 144,0,\"$(piece 32 32)\""
  echo '10:00:06.091 >> OK'
  echo "10:00:06.100 >> +CRSM: 144,0,\"$(piece 32 32)\""
} | capture late-reply.text.answers_no_command
# Two reads joined on one line, the second failing: the final result ends
# the line, and a reply after it, late from another command, answers none.
{
  echo 'AT+CRSM=176,28513,0,0,32;+CRSM=176,28513,0,32,32'
  echo "+CRSM: 144,0,\"$(piece 0 32)\""
  echo 'ERROR'
  echo "+CRSM: 144,0,\"$(piece 64 32)\""
  for offset in 64 96 128; do
    echo "AT+CRSM=176,28513,0,$offset,32"
    echo "+CRSM: 144,0,\"$(piece $offset 32)\""
    echo 'OK'
  done
} | capture error-ends-line.text.answers_no_command
crsm_log none | sed 's/AT+CRSM=176,28423/AT+CRS=176,28423/' | capture garbled-echo.text.answers_no_command
# A command answered late, after the next one was sent: its reply would
# pass for the next one's.
crsm_log none | awk '{ print } /<< AT\+CRSM=176,28513,0,96,32/ { print "10:00:03.310 << AT+CRSM=176,28513,0,64,32\r" }' |
  capture sent-while-waiting.text.waited_for_its_reply
# Read whole with P3 0, as a card gives all the file has up to 256 bytes:
# then with the reply cut short where an entry ends, which the file's size
# tells.
{
  echo 'AT+CRSM=192,28513'
  echo "+CRSM: 144,0,\"$description\""
  echo 'OK'
  echo 'AT+CRSM=176,28513,0,0,0'
  echo "+CRSM: 144,0,$(piece 0 160)"
  echo 'OK'
} >"$work/p3-zero.log"
capture p3-zero.text.list <"$work/p3-zero.log"
sed 's/\(+CRSM: 144,0,[0-9A-F]\{300\}\).*/\1/' "$work/p3-zero.log" | capture p3-zero-cut.text.cut_short
crsm_log none | sed 's/\(+CRSM: 144, 0, "[0-9A-F]\{40\}\).*/\1/' | capture cut-quoted.text.closing_quote
crsm_log none | sed 's/\(+crsm: 144,0,[0-9a-f]\{40\}\).*/\1/' | capture cut-unquoted.text.cut_short
crsm_log none | sed 's/\(+crsm: 144,0,[0-9a-f]\{40\}\)\(.*\)/\1\
\2/' | capture wrapped-unquoted.text.goes_on_in_line
# A reply without quotes cut short where an entry ends, in a log that gives
# the file's size nowhere.
{
  for offset in 0 32 64 96 128; do
    echo "AT+CRSM=176,28513,0,$offset,32"
    echo "+CRSM: 144,0,$(piece $offset $((offset == 128 ? 22 : 32)))"
    echo 'OK'
  done
} | capture cut-unquoted-no-size.text.size_tells
{
  crsm_log none
  read_log 0 32 | sed 's/"62F2/"62F3/'
} | capture reread-differs.text.byte_1_reads
crsm_log none | sed 's/28513/28512/g' | capture other-file.text.and_28512
{
  echo "response: '+CRSM: 144,0,\"$imsi_description\"'"
  for offset in 0 32 64 96 128; do
    echo "response: '+CRSM: 144,0,\"$(piece $offset 32)\"'"
  done
} | capture loose-other-description.text.describes_file_28423
# mmcli --command's output saved alone, one read after the other: replies
# with no command before them, the file's description first.
{
  echo "response: '+CRSM: 144,0,\"$description\"'"
  for offset in 0 32 64 96 128; do
    echo "response: '+CRSM: 144,0,\"$(piece $offset 32)\"'"
  done
} >"$samples/oplmnwact-mmcli.txt"
sed '$d' "$samples/oplmnwact-mmcli.txt" | capture loose-lost-end.text.bytes_128_to_159
sed "1s/$description/$sim_description/" "$samples/oplmnwact-mmcli.txt" | capture loose-sim.text.list

# The identities alone, 3 bytes an entry, as EF_FPLMN holds them: as bytes,
# and as a log of their reads.
printf '%s' "$hex" | fold -w 10 | cut -c1-6 | tr -d '\n' | xxd -r -p >"$work/fplmn.bin"
xxd -p -c 12 "$work/fplmn.bin" >"$samples/fplmn.txt"
{
  echo 'AT+CRSM=176,28539,0,0,48'
  echo "+CRSM: 144,0,\"$(xxd -p -u -c 48 "$work/fplmn.bin" | head -1)\""
  echo 'OK'
  echo 'AT+CRSM=176,28539,0,48,48'
  echo "+CRSM: 144,0,\"$(xxd -p -u -c 48 "$work/fplmn.bin" | tail -1)\""
  echo 'OK'
} | capture fplmn-log.fplmn.list
hexdump -C -v "$work/fplmn.bin" | capture fplmn-hexdump.fplmn.list

for sample in oplmnwact-bytes.txt oplmnwact-od.txt oplmnwact-hexdump.txt oplmnwact-xxd.txt \
  oplmnwact-crsm.log oplmnwact-mmcli.txt; do
  cp "$samples/$sample" "$captures/$sample.text.list"
done
cp "$samples/fplmn.txt" "$captures/fplmn.txt.fplmn.list"
cp "$bin" "$captures/oplmnwact.bin.binary.list"
# What the binary line must refuse besides text: the list cut short. And a
# list whose bytes are all printable, which is no text all the same: it has
# no line end, and more than hexadecimal digits (234/675, E-UTRAN and GSM
# COMPACT, 8 times).
head -c 158 "$bin" | capture cut-short.bin.binary.5-byte_entries
i=0
while [ $i -lt 8 ]; do
  printf '2Tv@@'
  i=$((i + 1))
done | capture printable.bin.only-binary.accepted
# UTF-16 text, as Windows PowerShell 5.1 saves it, of a capture of each
# kind, with its mark; and without it, little- and big-endian.
for name in oplmnwact-bytes.txt oplmnwact-od.txt oplmnwact-crsm.log fplmn.txt; do
  iconv -f UTF-8 -t UTF-16 "$samples/$name" | capture "$name-utf16.text.iconv_-f_UTF-16"
done
iconv -f UTF-8 -t UTF-16LE "$samples/oplmnwact-hexdump.txt" |
  capture hexdump-utf16le.text.iconv_-f_UTF-16
iconv -f UTF-8 -t UTF-16BE "$samples/oplmnwact-bytes.txt" |
  capture bytes-utf16be.text.iconv_-f_UTF-16

# PLMN_WRITE_SAMPLES=yes writes the samples into examples/ instead, for a
# sample new or changed here.
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
    oplmnwact.txt | oplmnwact.listing | tolist.awk) ;;
    *) [ -f "$samples/$name" ] || fail "examples/$name is not made from the sample list" ;;
  esac
done
cp "$source_dir/examples/tolist.awk" "$samples/"

# ---- The lines, and how each is run.

# The command lines of the section, from its sh blocks, each found by the
# sample it reads.
awk '
  /^## / { in_section = ($0 == "## From your tool'\''s output to a list") }
  in_section && /^```/ { in_block = !in_block && $0 == "```sh"; next }
  in_section && in_block && !/^#/ && NF { print }
' "$source_dir/README.md" >"$work/recipes"
line_of() {
  line=$(grep -F "examples/$1" "$work/recipes") || fail "no line of the README reads examples/$1"
  [ "$(printf '%s\n' "$line" | wc -l)" -eq 1 ] || fail "more than one line reads examples/$1"
  case $line in
    *" >build/list.txt && ./build/plmn build/list.txt") ;;
    *) fail "the line that reads examples/$1 does not list build/list.txt after &&: $line" ;;
  esac
  printf '%s\n' "$line"
}
text_line=$(line_of oplmnwact-crsm.log)
binary_line=$(line_of oplmnwact.bin)
fplmn_line=$(line_of fplmn.txt)
[ "$(wc -l <"$work/recipes")" -eq 3 ] || fail "the README has lines that no capture tries:
$(cat "$work/recipes")"

# plmn, as the lines run it, in the work folder.
{
  echo '#!/bin/sh'
  printf 'exec'
  for word in "$@"; do printf " '%s'" "$word"; done
  echo ' "$@"'
} >"$work/build/plmn"
chmod +x "$work/build/plmn"

# An awk command of each awk installed, in a folder of its own to put first
# in PATH.
awks=
for candidate in mawk gawk "gawk --posix" original-awk "busybox awk"; do
  $candidate 'BEGIN { exit 0 }' 2>/dev/null || continue
  dir=$work/awk/$(printf '%s' "$candidate" | tr ' ' '-')
  mkdir -p "$dir"
  # gawk in a UTF-8 locale, where it reads characters, not bytes.
  case $candidate in
    gawk) locale='LC_ALL=C.UTF-8 ' ;;
    *) locale= ;;
  esac
  printf '#!/bin/sh\n%sexec %s "$@"\n' "$locale" "$candidate" >"$dir/awk"
  chmod +x "$dir/awk"
  awks="$awks $dir"
done
[ -n "$awks" ] || fail "no awk is installed"

# What the sample list lists, and what its identities alone list, each with
# the stand-in ----.
listing=$(cat "$source_dir/examples/oplmnwact.listing")
sed 's/\(......\)..../\1----/g' "$source_dir/examples/oplmnwact.txt" >"$work/plain-fplmn.txt"
fplmn_listing=$("$@" "$work/plain-fplmn.txt" | tr -d '\r')
[ -n "$fplmn_listing" ] || fail "the identities alone list nothing"

# run LINE SAMPLE CAPTURE AWK: runs the README's LINE with the capture in
# place of examples/SAMPLE, under the awk of the folder AWK, in the work
# folder. Sets ran to what ran and status to its exit status; its standard
# output goes to the file stdout, its standard error to stderr.
run() {
  ran=${1%%"examples/$2"*}captures/$3${1#*"examples/$2"}
  rm -f "$work/build/list.txt"
  status=0
  (cd "$work" && PATH=$4:$PATH sh -c "$ran") >"$work/stdout" 2>"$work/stderr" || status=$?
}
# expect_list BYTES LISTING: the run wrote BYTES into build/list.txt, and
# the line then listed LISTING.
expect_list() {
  [ "$status" -eq 0 ] && [ ! -s "$work/stderr" ] || fail "failed (status $status): $ran
$(cat "$work/stderr")"
  [ "$(tr -d '\r\n' <"$work/build/list.txt" | sed 's/----//g')" = "$1" ] ||
    fail "$ran does not write the list's bytes, each once, in order"
  [ "$(tr -d '\r' <"$work/stdout")" = "$2" ] || fail "$ran
lists:
$(cat "$work/stdout")
where the list itself lists:
$2"
}
# expect_failure [WORDS]: the run failed, with one line on standard error,
# which holds WORDS if they are given, and wrote nothing else.
expect_failure() {
  [ "$status" -ne 0 ] || fail "$ran does not fail:
$(cat "$work/stdout")"
  [ "$(wc -l <"$work/stderr")" -eq 1 ] ||
    fail "$ran does not fail with one line on standard error: $(cat "$work/stderr")"
  [ -z "${1:-}" ] || grep -qF -- "$1" "$work/stderr" ||
    fail "$ran does not say '$1': $(cat "$work/stderr")"
  [ ! -s "$work/build/list.txt" ] && [ ! -s "$work/stdout" ] || fail "$ran writes a list"
}

fplmn_bytes=$(xxd -p -u -c 96 "$work/fplmn.bin")
tried=0
for capture in "$captures"/*; do
  name=$(basename "$capture")
  expected=${name##*.}
  own=${name%.*}
  own=${own##*.}
  lines="text binary fplmn"
  case $own in
    only-*)
      own=${own#only-}
      lines=$own
      ;;
  esac
  words=$(printf '%s' "$expected" | tr '_' ' ')
  for line in $lines; do
    case $line in
      text) sample=oplmnwact-crsm.log command=$text_line ;;
      binary) sample=oplmnwact.bin command=$binary_line ;;
      fplmn) sample=fplmn.txt command=$fplmn_line ;;
    esac
    for awk_dir in $awks; do
      run "$command" "$sample" "$name" "$awk_dir"
      if [ "$line" != "$own" ]; then
        # UTF-16 text is refused with the iconv command by every line, and
        # other text given as a binary file is told to be text.
        case $expected:$line:$own in
          iconv* | 65535*) expect_failure "$words" ;;
          *:binary:text | *:binary:fplmn) expect_failure "are text" ;;
          *) expect_failure ;;
        esac
      elif [ "$expected" = accepted ]; then
        [ "$status" -eq 0 ] && [ ! -s "$work/stderr" ] || fail "failed (status $status): $ran
$(cat "$work/stderr")"
      elif [ "$expected" != list ]; then
        expect_failure "$words"
      elif [ "$line" = fplmn ]; then
        expect_list "$fplmn_bytes" "$fplmn_listing"
      else
        expect_list "$hex" "$listing"
      fi
      tried=$((tried + 1))
    done
    if [ "$line" = "$own" ]; then
      printf 'ok: %s: %s\n' "$ran" "$(cat "$work/stderr")"
    fi
  done
done
echo "ok: $tried runs, every capture through every line under each awk: $(ls "$work/awk" | tr '\n' ' ')"
