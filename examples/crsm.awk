# Turns a modem log of AT+CRSM commands into a list for plmn: the bytes of the
# file named by its identifier, in hexadecimal, on one line.
#
#   awk -v file=28513 -f crsm.awk modem.log >list.txt
#
# file is the identifier that AT+CRSM gives the file: 28512 EF_PLMNwAcT,
# 28513 EF_OPLMNwACT, 28514 EF_HPLMNwAcT. It keeps to the awk language that
# POSIX gives, which mawk, gawk, BusyBox's awk and BSD's and macOS's all read.
#
# A log holds more than the file's bytes, and what is kept is chosen so that
# nothing else becomes a network:
#  - A reply, +CRSM: SW1,SW2[,DATA], is found wherever it stands on its line,
#    after a time stamp, a marker such as "<< " or mmcli's "response: '", in
#    upper or lower case, its data quoted or not.
#  - A reply answers the last AT+CRSM= command before it. Only the data of a
#    success (SW1 144, 145 or 146) to READ BINARY (176) of the file named is
#    kept: a GET RESPONSE (192) also succeeds, with the file's description in
#    its data, and so do the reads of other files, with their bytes.
#  - The data goes at the offset of its command, P1 * 256 + P2, so that a
#    chunk read twice counts once and the order of the reads does not matter.
#    A reply with no command before it in the log (mmcli's output saved
#    alone) goes after the data before it.
#  - The bytes from the start to the end of the last read must all be there:
#    a list with a hole in it would lose networks without a word, so a gap
#    is a failure, which names the missing bytes and writes no list. So is a
#    reply with an odd number of digits, cut short in the log.

BEGIN {
  if (file !~ /^[0-9]+$/) fail("give the file's identifier: awk -v file=28513 -f crsm.awk LOG")
  # What the last command was: none yet, a READ BINARY of the file at
  # read_offset ("read"), or any other ("other").
  last = "none"
  # Where a reply with no command before it goes: after the data of the
  # last reply kept.
  next_offset = 0
  # The end of the data kept furthest in the file.
  size = 0
}

{
  line = toupper($0)
  at = index(line, "AT+CRSM=")
  if (at) command(substr(line, at + 8))
  at = index(line, "+CRSM:")
  if (at) reply(substr(line, at + 6))
}

# The parameters of a command: COMMAND,FILEID,P1,P2,P3[,DATA[,PATH]], with
# blanks around the commas or not.
function command(parameters,   field, n, i) {
  last = "other"
  n = split(parameters, field, ",")
  if (n < 4) return
  for (i = 1; i <= 4; i++) {
    sub(/^[ \t]+/, "", field[i])
    sub(/[ \t]+$/, "", field[i])
    if (field[i] !~ /^[0-9]+$/) return
  }
  if (field[1] + 0 == 176 && field[2] + 0 == file + 0) {
    last = "read"
    read_offset = field[3] * 256 + field[4]
  }
}

# The rest of a reply: SW1,SW2[,DATA], the data quoted or not.
function reply(rest,   sw1, data, offset, i) {
  if (!match(rest, /^[ \t]*[0-9]+[ \t]*,[ \t]*[0-9]+[ \t]*/)) return
  sw1 = substr(rest, 1, index(rest, ",") - 1) + 0
  data = substr(rest, RLENGTH + 1)
  if (data ~ /^,/) {
    sub(/^,[ \t]*"?/, "", data)
    sub(/[^0-9A-F].*/, "", data)
  } else {
    data = ""
  }
  if (sw1 < 144 || sw1 > 146 || last == "other") return
  if (length(data) % 2) fail(sprintf("line %d: an odd number of digits: %s", NR, data))
  offset = (last == "read") ? read_offset : next_offset
  for (i = 1; i < length(data); i += 2) byte[offset++] = substr(data, i, 2)
  next_offset = offset
  if (offset > size) size = offset
}

# To standard error through cat: gawk --posix opens "/dev/stderr" as a file,
# which empties a log file that standard error is sent to.
function fail(message) {
  printf "crsm.awk: %s\n", message | "cat 1>&2"
  failed = 1
  exit 1
}

END {
  if (failed) exit 1
  if (size == 0) fail("no reply of success to READ BINARY (176) of file " file)
  for (offset = 0; offset < size; offset++) {
    if (!(offset in byte)) {
      gap = offset
      while (gap < size && !(gap in byte)) gap++
      fail(sprintf("no reply holds bytes %d to %d of file %s (P1 %d, P2 %d): no list written",
                   offset, gap - 1, file, int(offset / 256), offset % 256))
    }
  }
  for (offset = 0; offset < size; offset++) printf "%s", byte[offset]
  print ""
}
