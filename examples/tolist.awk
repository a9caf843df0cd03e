# Turns what a tool printed of a SIM or USIM PLMN list into a list for plmn:
# the file's bytes in hexadecimal, in upper case, one entry a line.
#
#   awk -v file=28513 -f tolist.awk CAPTURE >list.txt && plmn list.txt
#   od -An -v -tx1 FILE.bin | awk -v file=28513 -f tolist.awk >list.txt && ...
#
# file is the identifier that AT+CRSM gives the card's file the capture holds:
#   28512 EF_PLMNwAcT, 28513 EF_OPLMNwACT, 28514 EF_HPLMNwAcT: 5-byte entries;
#   28539 EF_FPLMN, 28633 EF_EHPLMN, 28464 EF_PLMNsel: 3-byte identities,
#   each written with the stand-in access technology ----.
#
# The capture's shape is told from the capture itself, and each has its
# rules, which the sections below give in full:
#  - a modem log: a line holds +CRSM, an AT+CRSM command or its reply. The
#    replies answer the commands in order, and the reads of the file must
#    cover it with no gap, to its end where the log tells it (a GET RESPONSE
#    of the file, a read answered 98,130);
#  - a dump with an offset column: od -tx1, hexdump -C, xxd. Each offset must
#    count the bytes before it, and od's and hexdump's last one all of them;
#  - else hexadecimal bytes, separated by blanks, colons or tabs, or wrapped,
#    and nothing else.
# Whatever the shape, the bytes must come to whole entries, at least as many
# as the file holds, each a free slot (FFFFFF) or a network: BCD digits, F
# only as a third digit, and an access technology whose last 3 bits, which
# mean nothing yet, are clear (or FFFF, "any").
#
# plmn reads positions only, so a capture that is incomplete, or of another
# shape than it seems, must never become plausible networks. Whatever it is
# given, this program writes exactly the file's bytes, or writes nothing,
# says on one line of standard error what is wrong and what to do, and exits
# with status 1. Nothing is written before the whole capture has been read.
#
# It keeps to the awk language that POSIX gives, which mawk, gawk, BusyBox's
# awk and BSD's and macOS's all read. gawk, in a UTF-8 locale, warns about
# bytes that are not UTF-8 when index(), length(), substr(), match() or
# toupper() meet them, so those only ever see text made ASCII first.

BEGIN {
  me = "tolist.awk"
  # Each file: its identifier, its name, the size of its entries, and the
  # fewest entries it holds (TS 31.102, TS 51.011).
  split("28512 EF_PLMNwAcT 5 8 28513 EF_OPLMNwACT 5 8 28514 EF_HPLMNwAcT 5 1 " \
        "28539 EF_FPLMN 3 4 28633 EF_EHPLMN 3 1 28464 EF_PLMNsel 3 8", known, " ")
  for (i = 1; i < 24; i += 4) {
    name_of[known[i]] = known[i + 1]
    entry_of[known[i]] = known[i + 2]
    fewest_of[known[i]] = known[i + 3]
    ids = ids (i > 1 ? ", " : "") known[i] " " known[i + 1]
  }
  if (!(file in entry_of)) {
    fail("say which file the capture holds: awk -v file=ID -f tolist.awk CAPTURE, ID one of " \
         ids)
  }
  entry = entry_of[file] + 0
  for (i = 0; i < 16; i++) hexval[substr("0123456789ABCDEF", i + 1, 1)] = i
  for (i = 32; i < 127; i++) chr[i] = sprintf("%c", i)
  # BusyBox's and BSD's awk end a record or a string at a NUL byte, and
  # match /\000/ everywhere: they cannot be asked for one.
  sees_nul = !("x" ~ /\000/)
  mode = ""   # "bytes", "dump" or "log", once the lines have told
  size = 0    # the bytes taken, byte[0] to byte[size - 1], each two digits
}

{
  record = $0
  if (NR == 1) {
    if (record ~ /^\377\376/ || record ~ /^\376\377/) fail_utf16("starts with a UTF-16 mark")
    sub(/^\357\273\277/, "", record)
  }
  if (sees_nul && record ~ /\000/ && !nul_line) nul_line = NR
  # A CR ends a line too, alone (old Macs, serial consoles) or before a LF.
  n = split(record, piece, "\r")
  for (p = 1; p <= n; p++) take(ascii(piece[p]))
}

# The line with each character that is not printable ASCII or a tab as one
# "?": what follows then needs no care for bytes that are not text, and a
# message that quotes the line cannot drive the terminal it is shown on.
# Such a line is never bytes, a dump's or a reply's, so of a long one the
# start is enough, and costs no time.
function ascii(line,   c, n, i, out) {
  if (line ~ /^[\t -~]*$/) return line
  n = split(line, c, "")
  if (n > 1024) n = 1024
  for (i = 1; i <= n; i++) out = out (c[i] ~ /^[\t -~]$/ ? c[i] : "?")
  return out
}

function take(line) {
  if (length(line) > 1) wide = 1
  if (mode != "log" && line ~ /\+[Cc][Rr][Ss][Mm]/) {
    # A log: what came before is its chatter.
    mode = "log"
    shape_error = ""
    size = 0
    carry = ""
  }
  if (mode == "log") {
    log_line(line)
    return
  }
  if (line ~ /^[ \t]*$/ || shape_error != "") return
  if (mode == "") mode = dump_starts(line) ? "dump" : "bytes"
  if (mode == "dump") {
    dump_line(line)
  } else {
    bytes_line(line)
  }
  # A card's file holds at most 65535 bytes: more is not the capture of one,
  # and what is kept of a capture stays small.
  if (size > 65535 && shape_error == "") {
    shape_error = at(NR) "more than 65535 bytes, more than a card's file holds: give the" \
                  " capture of one file"
  }
}

# The line as a message names it.
function at(line_number) {
  return "line " line_number ": "
}

# Text from the capture, quoted in a message: at most 24 characters.
function quoted(text) {
  if (length(text) > 24) text = substr(text, 1, 21) "..."
  return "\"" text "\""
}

function trim(text) {
  sub(/^[ \t]+/, "", text)
  sub(/[ \t]+$/, "", text)
  return text
}

# ---- Bytes: hexadecimal digits between blanks, colons, tabs and line ends.

function bytes_line(line,   f, n, i, k) {
  if (line ~ /^[ \t]*\*/) {
    shape_error = at(NR) "a \"*\" line, which stands for lines a dump left out: dump again with -v"
    return
  }
  if (line !~ /^[ \t:0-9A-Fa-f]*$/) {
    shape_error = at(NR) quoted(trim(line)) " is not hexadecimal bytes: give the capture as" \
                  " the tool printed it (a dump, a modem log or bytes alone), or a binary" \
                  " file through od -An -v -tx1"
    return
  }
  n = split(line, f, /[ \t:]+/)
  k = 0
  for (i = 1; i <= n; i++) if (f[i] != "") k++
  for (i = 1; i <= n; i++) {
    if (f[i] == "") continue
    if (k > 1 && length(f[i]) != 2) {
      shape_error = at(NR) quoted(f[i]) " on a line of several fields: each byte must" \
                    " stand alone in two digits"
      return
    }
    if (k > 1 && carry != "") {
      shape_error = at(NR) "the line before it ends in half a byte: a digit is missing;" \
                    " capture the list again"
      return
    }
    add_digits(toupper(f[i]))
  }
}

# Appends the bytes of `digits`, a digit left over waiting for the next.
# Past 65535 bytes the rest is not kept: take() refuses the capture.
function add_digits(digits,   i, n) {
  digits = carry digits
  n = length(digits)
  for (i = 1; i < n && size <= 65535; i += 2) byte[size++] = substr(digits, i, 2)
  carry = (n % 2) ? substr(digits, n) : ""
}

# ---- Dumps with an offset column: od -tx1 (offsets in octal, decimal or
# hexadecimal, any width, a text column or not), hexdump -C and xxd (any
# grouping and width). Each line's offset must be the count of the bytes
# before it, and od's and hexdump's final line the count of them all, so a
# lost line, a "*" and a lost end all fail.

function dump_starts(line,   t, f) {
  t = trim(line)
  if (split(t, f, /[ \t]+/) < 2) return 0
  return f[1] ~ /^[0-9A-Fa-f]+:$/ || (f[1] ~ /^[0-9A-Fa-f]+$/ && length(f[1]) >= 6)
}

function dump_line(line,   t, offset, rest, kind, before) {
  # Blanks at the end count: xxd's text column may end in them, and they
  # follow the offset of a line cut short after it.
  t = line
  sub(/^[ \t]+/, "", t)
  if (t ~ /^\*/) {
    shape_error = at(NR) "a \"*\" stands for lines the dump left out, after offset " \
                  in_radix(size) ": dump again with -v"
    return
  }
  if (final_line) {
    shape_error = at(NR) "a line after the dump's last offset (line " final_line "): give the" \
                  " dump alone"
    return
  }
  if (!match(t, /^[0-9A-Fa-f]+:?/)) {
    shape_error = at(NR) quoted(t) " is not a line of the dump, which starts with an offset:" \
                  " give the dump alone, as the tool printed it"
    return
  }
  offset = substr(t, 1, RLENGTH)
  rest = substr(t, RLENGTH + 1)
  if (offset !~ /:$/ && rest ~ /^[ \t]*$/) {
    # od's and hexdump's last line: the offset of the end. Blanks after it
    # are what a line cut short after its offset leaves.
    if (rest != "") {
      shape_error = at(NR) "the line ends after its offset: the dump was cut short there;" \
                    " capture it whole"
    } else if (offset_is(offset)) {
      final_line = NR
    }
    return
  }
  # hexdump -C puts two blanks after the offset and its text column in
  # "|"; od one blank, and its text column (z) in ">" and "<".
  kind = (offset ~ /:$/) ? "xxd" : ((rest ~ /^  [^ ]/ && rest ~ /\|/) ? "hexdump -C" : "od")
  if (dump_kind == "") {
    dump_kind = kind
    radixes = (kind == "xxd") ? "16 10" : ((kind == "hexdump -C") ? "16" : "8 10 16")
  } else if (kind != dump_kind) {
    shape_error = at(NR) "not a whole line of " dump_kind " as the lines before it: was it cut" \
                  " short? Capture the dump whole"
    return
  }
  sub(/:$/, "", offset)
  if (rest !~ /^[ \t]/) {
    shape_error = at(NR) quoted(t) " is not a line of the dump: no blank after its offset"
    return
  }
  if (!offset_is(offset)) return
  before = size
  if (kind == "xxd") {
    xxd_bytes(substr(rest, 2))
  } else {
    # The text column, after "|" (hexdump -C) or ">" (od -tx1z), may hold
    # anything: the bytes stand before it.
    sub(/[|>].*/, "", rest)
    od_bytes(rest)
  }
  # The width of a whole line, and whether the last one is whole.
  if (!width) width = size - before
  last_whole = size - before == width
}

# Whether `offset` is the count of the bytes before its line, in one of the
# radixes the dump's offsets may be in. Those it is not in are left out, so
# that the whole dump reads in one radix; if none is left, a line is lost.
function offset_is(offset,   r, n, i, left) {
  n = split(radixes, r, " ")
  for (i = 1; i <= n; i++) if (value_in(offset, r[i]) == size) left = left " " r[i]
  if (left == "" && size == 0) {
    shape_error = at(NR) quoted(offset) " is neither the offset 0 that a dump starts at nor a" \
                  " byte in two digits: dump the whole file, or give its bytes alone"
    return 0
  }
  if (left == "") {
    shape_error = at(NR) "the offset " offset " where " in_radix(size) " was due: lines" \
                  " of the dump are missing; dump the whole file again"
    return 0
  }
  radixes = substr(left, 2)
  return 1
}

# `digits` read in radix `radix`; -1 where one is not a digit of it.
function value_in(digits, radix,   i, d, v) {
  digits = toupper(digits)
  for (i = 1; i <= length(digits); i++) {
    d = hexval[substr(digits, i, 1)]
    if (d >= radix) return -1
    v = v * radix + d
  }
  return v + 0
}

# A count written in the first radix the dump's offsets may be in.
function in_radix(count,   radix, digits) {
  radix = substr(radixes, 1, index(radixes " ", " ") - 1) + 0
  if (radix == 0) radix = 16
  do {
    digits = substr("0123456789abcdef", count % radix + 1, 1) digits
    count = int(count / radix)
  } while (count > 0)
  return digits
}

function od_bytes(text,   f, n, i) {
  n = split(text, f, /[ \t]+/)
  for (i = 1; i <= n; i++) {
    if (f[i] == "") continue
    if (f[i] !~ /^[0-9A-Fa-f][0-9A-Fa-f]$/) {
      if (f[i] ~ /^[0-9A-Fa-f]+$/ && (length(f[i]) == 4 || length(f[i]) == 6)) {
        shape_error = at(NR) "2-byte words, in the byte order of the machine that dumped" \
                      " them (plain od or hexdump, od -tx2): dump again with od -tx1 -v" \
                      " or hexdump -C -v"
      } else {
        shape_error = at(NR) quoted(f[i]) " is not a byte in two hexadecimal digits: dump" \
                      " again with od -tx1 -v or hexdump -C -v"
      }
      return
    }
    byte[size++] = toupper(f[i])
  }
}

# xxd prints its text column after two blanks, and in it each byte from 20
# to 7E as itself and any other as ".". The bytes are taken from the groups
# before it alone, and the text column must show them: a dump in another
# byte order (xxd -e), in bits (xxd -b), or with its blanks lost shows
# others.
function xxd_bytes(text,   cut, groups, g, n, i, first, shown, want) {
  cut = index(text, "  ")
  if (cut == 0) {
    shape_error = at(NR) "an xxd line without its text column after two blanks: dump again" \
                  " with plain xxd and give its lines as it printed them"
    return
  }
  groups = substr(text, 1, cut - 1)
  shown = substr(text, cut + 2)
  first = size
  n = split(groups, g, " ")
  for (i = 1; i <= n; i++) {
    if (g[i] !~ /^([0-9A-Fa-f][0-9A-Fa-f])+$/) {
      shape_error = at(NR) quoted(g[i]) " is not bytes in hexadecimal: dump again with plain xxd"
      return
    }
    add_digits(toupper(g[i]))
  }
  for (i = first; i < size; i++) {
    n = hexval[substr(byte[i], 1, 1)] * 16 + hexval[substr(byte[i], 2, 1)]
    want = want (n >= 32 && n < 127 ? chr[n] : ".")
  }
  # Blanks at the end of the line may have been lost on the way, and the
  # last line pads its groups with blanks.
  sub(/ +$/, "", want)
  sub(/ +$/, "", shown)
  if (length(shown) < length(want) ||
      substr(shown, length(shown) - length(want) + 1) != want ||
      substr(shown, 1, length(shown) - length(want)) !~ /^ *$/) {
    shape_error = at(NR) "the text column does not show the bytes before it (xxd -e? -b?):" \
                  " dump again with plain xxd"
  }
}

# ---- Modem logs of AT+CRSM. A command is +CRSM=, AT before it or not (mmcli
# adds it), anywhere on its line, and several may be joined by ";". The
# replies, +CRSM: SW1,SW2[,DATA], answer the commands of the last line that
# had any, in order, until a final result (OK, ERROR, +CME ERROR) ends that
# line. The lines are read first and answered at the end, since a log with
# no commands at all (replies saved alone) is read another way.

function log_line(line,   part, n, i) {
  # Some loggers write the line ends they saw as text: <CR>, <LF>, \r, \n.
  gsub(/<CR>|<LF>|\\r|\\n/, "\r", line)
  n = split(line, part, "\r")
  for (i = 1; i <= n; i++) log_part(part[i])
}

function log_part(line,   u, p, c, first, before) {
  if (line ~ /^[ \t]*$/) return
  # Hexadecimal alone after a reply without quotes is the rest of it, which
  # a console wrapped onto a line of its own.
  if (unquoted && line ~ /^[ \t]*[0-9A-Fa-f][0-9A-Fa-f]+[ \t]*$/) {
    log_fault(unquoted, "the reply goes on in line " NR ", where a console wrapped it: capture" \
                        " the log again with longer lines")
  }
  unquoted = 0
  u = toupper(line)
  first = 0  # the event of the line's first command
  while ((p = index(u, "+CRSM")) > 0) {
    u = substr(u, p + 5)
    sub(/^[ \t]+/, "", u)  # V.250 lets blanks stand anywhere
    c = substr(u, 1, 1)
    u = substr(u, 2)
    if (c == "=") {
      before = events
      u = log_command(u, !first)
      if (events > before) {
        if (!first) first = events
        sent[first] = sent[first] ";" said
      }
    } else if (c == ":") {
      u = log_reply(u)
    }
  }
  if (final_result(line)) {
    events++
    kind[events] = "end"
    line_of[events] = NR
  }
}

# Whether the line is a final result: OK or ERROR at its end, after nothing
# but what a logger puts first (a time, markers such as ">>" or "[RX]", a
# word before a colon), and no plain word: a text message or a URC that ends
# in OK ("1, CONNECT OK") is none. +CME ERROR is one wherever it stands, and
# so is mmcli's "error:".
function final_result(line,   word, n, i) {
  if (line ~ /\+CM[ES] ERROR/ || line ~ /^[ \t]*error:/) return 1
  n = split(line, word, /[ \t]+/)
  while (n > 0 && word[n] == "") n--
  if (n == 0 || word[n] !~ /(^|[^A-Za-z])(OK|ERROR)['"]*$/) return 0
  sub(/(OK|ERROR)['"]*$/, "", word[n])
  for (i = 1; i <= n; i++) if (word[i] ~ /^[A-Za-z]+[,.!?]?$/) return 0
  return 1
}

# The parameters of a command, COMMAND,FILEID,P1,P2,P3[,DATA[,PATH]], up to a
# ";" that joins the next, or a quote: mmcli's closing one, or the one that
# opens the data. Sets said to them; returns the rest of the line.
function log_command(u, first,   end, f, n, i) {
  end = length(u) + 1
  for (i = 1; i <= 3; i++) {
    n = index(u, substr(";'\"", i, 1))
    if (n && n < end) end = n
  }
  said = trim(substr(u, 1, end - 1))
  if (said == "?") return substr(u, end + 1)  # the test command
  n = split(said, f, ",")
  for (i = 1; i <= 5; i++) f[i] = trim(f[i])
  events++
  kind[events] = "command"
  line_of[events] = NR
  starts_line[events] = first
  commands++
  for (i = 1; i <= 5; i++) parameter[events, i] = (i <= n && f[i] ~ /^[0-9]+$/) ? f[i] + 0 : ""
  if (parameter[events, 1] == 176 && parameter[events, 2] != "") read_files[parameter[events, 2]] = 1
  return substr(u, end + 1)
}

# A reply, SW1,SW2[,DATA], its data quoted or not. Returns the rest.
function log_reply(u,   data, sw) {
  events++
  kind[events] = "reply"
  line_of[events] = NR
  if (!match(u, /^[ \t]*[0-9]+[ \t]*,[ \t]*[0-9]+[ \t]*/)) {
    log_fault(events, "a reply that does not read +CRSM: SW1,SW2[,DATA]")
    return u
  }
  split(substr(u, 1, RLENGTH), sw, ",")
  sw1[events] = sw[1] + 0
  sw2[events] = sw[2] + 0
  u = substr(u, RLENGTH + 1)
  data = ""
  if (u ~ /^,/) {
    u = substr(u, 2)
    sub(/^[ \t]*/, "", u)
    # A log saved as CSV doubles the quotes inside its fields.
    if (u ~ /^""[0-9A-F]/) u = substr(u, 2)
    if (u ~ /^"/) {
      quoted_reply[events] = 1
      u = substr(u, 2)
      if (!index(u, "\"")) {
        log_fault(events, "the reply's data has no closing quote: the line was cut short" \
                          " (a console wraps or cuts long lines); capture the log again whole")
        return ""
      }
      data = substr(u, 1, index(u, "\"") - 1)
      u = substr(u, index(u, "\"") + 1)
      if (data !~ /^[0-9A-F]*$/) {
        log_fault(events, quoted(data) " inside the reply's quotes is not hexadecimal")
        return u
      }
    } else {
      match(u, /^[0-9A-F]*/)
      data = substr(u, 1, RLENGTH)
      u = substr(u, RLENGTH + 1)
      if (data != "") unquoted = events
      if (u !~ /^([ \t'].*)?$/) {
        log_fault(events, "the reply's data runs into " quoted(u))
        return u
      }
    }
  }
  if (length(data) % 2) log_fault(events, "the reply's data has an odd number of digits")
  data_of[events] = data
  return u
}

# A fault of a reply, reported if the reply is one that counts.
function log_fault(event, message) {
  if (!(event in fault)) fault[event] = message
}

function success(event) {
  return (sw1[event] >= 144 && sw1[event] <= 146) || (sw1[event] == 98 && sw2[event] == 130)
}

# The reply's data, from byte `i` on, as a number of `count` bytes.
function data_value(event, i, count,   v, k, d) {
  d = data_of[event]
  for (k = 0; k < count; k++) {
    v = v * 256 + hexval[substr(d, 2 * (i + k) + 1, 1)] * 16 + hexval[substr(d, 2 * (i + k) + 2, 1)]
  }
  return v + 0
}

function log_end(   e, queued, next_command, open, again, c) {
  for (e = 1; e <= events; e++) {
    if (kind[e] == "command") {
      if (starts_line[e]) {
        # The line before it still waits for a reply: its echo, or the
        # same commands sent again, wait with it; other commands would take
        # a late reply to it for their own.
        again = open && next_command < queued
        if (again && (next_command > 0 || sent[e] != sent[open])) {
          fail(at(line_of[e]) "a command sent while the one of line " line_of[open] " waited for" \
               " its reply, which may come late and pass for this one's: capture the log" \
               " again, each command after the reply to the one before")
        }
        if (!again) {
          queued = next_command = 0
          open = e
        }
      }
      if (!again) queue[++queued] = e
    } else if (kind[e] == "end") {
      queued = next_command = open = 0
    } else if (commands == 0) {
      loose_reply(e)
    } else if (next_command >= queued) {
      fail(at(line_of[e]) "a reply that answers no command: the log is not whole, or the echo" \
           " of its command is garbled; capture the log again")
    } else {
      c = queue[++next_command]
      answer(c, e)
    }
  }
  log_bytes()
}

# The reply `r` to the command `c`.
function answer(c, r,   length_asked, got, offset) {
  if (parameter[c, 2] != file + 0 || (parameter[c, 1] != 176 && parameter[c, 1] != 192)) return
  if (r in fault) fail(at(line_of[r]) fault[r])
  if (parameter[c, 1] == 192) {
    if (sw1[r] >= 144 && sw1[r] <= 146) describes(r, at(line_of[r]) "the GET RESPONSE")
    return
  }
  if (!success(r)) return
  if (parameter[c, 3] == "" || parameter[c, 4] == "") {
    fail(at(line_of[c]) "a READ BINARY of file " file " without its offset, P1 and P2")
  }
  if (parameter[c, 3] > 127) {
    fail(at(line_of[c]) "P1 " parameter[c, 3] " names a file by its short identifier: read" \
         " it by its identifier, with P1 and P2 the offset")
  }
  offset = parameter[c, 3] * 256 + parameter[c, 4]
  got = length(data_of[r]) / 2
  # P3 is the count of bytes asked, 0 for 256. A reply gives them all, or
  # fewer where the file ends first: then with 98,130, or with 144 after
  # the modem asked again for what there is (6Cxx), or as the card gives all
  # it has for 0. So fewer bytes put the file's end there, and a reply cut
  # short then shows where that end meets another.
  length_asked = parameter[c, 5]
  if (length_asked == 0 && length_asked != "") length_asked = 256
  if (length_asked != "" && got > length_asked) {
    fail(at(line_of[r]) "the reply holds " got " bytes where line " line_of[c] " asked for " \
         length_asked ": it answers another command; capture the log again")
  }
  keep(r, offset)
  if (sw1[r] == 98 || quoted_reply[r]) {
    if (sw1[r] == 98 || (length_asked != "" && got < length_asked)) file_size(offset + got, line_of[r])
  } else if (length_asked != "" && got < length_asked) {
    # Without quotes, nothing tells the end of the file from a reply cut
    # short: only a size given otherwise can.
    shorts++
    short_end[shorts] = offset + got
    short_reply[shorts] = at(line_of[r]) "the reply holds " got " bytes where line " \
                          line_of[c] " asked for " length_asked
  }
}

# A reply in a log that has no commands at all: its data goes after the
# data before it, unless it is a description of the file, as a GET
# RESPONSE gives it.
function loose_reply(r,   offset) {
  if (r in fault) fail(at(line_of[r]) fault[r])
  if (!success(r) || data_of[r] == "") return
  if (is_usim_description(r) || is_sim_description(r)) {
    describes(r, at(line_of[r]) "a reply holds a file description that")
    return
  }
  offset = loose_end + 0
  keep(r, offset)
  loose_end = offset + length(data_of[r]) / 2
  if (sw1[r] == 98) file_size(loose_end, line_of[r])
}

# Whether the reply's data is exactly a USIM file description: 62 LL, then
# tags that fill exactly LL bytes, 82 and 83 among them.
function is_usim_description(r,   bytes, i, has) {
  bytes = length(data_of[r]) / 2
  if (bytes < 2 || substr(data_of[r], 1, 2) != "62" || data_value(r, 1, 1) != bytes - 2) return 0
  for (i = 2; i + 1 < bytes; i += 2 + data_value(r, i + 1, 1)) has[substr(data_of[r], 2 * i + 1, 2)] = 1
  return i == bytes && ("82" in has) && ("83" in has)
}

# Whether the reply's data is exactly a SIM's description of a file: 00 00
# (unused), the size, the identifier, 04 (a file, not a folder), ..., in
# byte 13 the count of the bytes after it.
function is_sim_description(r,   bytes) {
  bytes = length(data_of[r]) / 2
  return bytes >= 14 && substr(data_of[r], 1, 4) == "0000" && data_value(r, 6, 1) == 4 &&
         data_value(r, 12, 1) == bytes - 13
}

# A GET RESPONSE's data gives the file's size: tag 80 of a USIM's
# description (62 ...), or bytes 3 and 4 of a SIM's, whose bytes 5 and 6 are
# the file's identifier. A description of another file fails.
function describes(r, what,   bytes, i, tag, length_of, id, described_size) {
  bytes = length(data_of[r]) / 2
  id = -1
  described_size = -1
  if (substr(data_of[r], 1, 2) == "62") {
    for (i = 2; i + 1 < bytes; i += 2 + length_of) {
      tag = substr(data_of[r], 2 * i + 1, 2)
      length_of = data_value(r, i + 1, 1)
      if (i + 2 + length_of > bytes) break
      if (tag == "80" && length_of > 0) described_size = data_value(r, i + 2, length_of)
      if (tag == "83" && length_of == 2) id = data_value(r, i + 2, 2)
    }
  } else if (bytes >= 7) {
    id = data_value(r, 4, 2)
    described_size = data_value(r, 2, 2)
  } else {
    fail(what " is no description of a file")
  }
  if (id != -1 && id != file + 0) {
    fail(what " describes file " id ", not file " file ": these replies are not of one file;" \
         " capture the log with its commands (echo on)")
  }
  if (described_size != -1) file_size(described_size, line_of[r])
}

function file_size(bytes, line_number) {
  if (size_line && bytes != known_size) {
    fail(at(line_number) "the file would end at byte " bytes ", where line " size_line " ends" \
         " it at " known_size ": was a reply cut short? Capture the log again")
  }
  known_size = bytes
  size_line = line_number
}

# Keeps the data of reply `r` at `offset`; a byte read twice must read the
# same both times.
function keep(r, offset,   i, b) {
  for (i = 0; i < length(data_of[r]) / 2; i++) {
    b = substr(data_of[r], 2 * i + 1, 2)
    if ((offset + i) in read_at && read_at[offset + i] != b) {
      fail(at(line_of[r]) "byte " offset + i " reads " b ", where line " read_line[offset + i] \
           " read " read_at[offset + i] ": the file changed between the reads, or a reply" \
           " went to another command")
    }
    read_at[offset + i] = b
    read_line[offset + i] = line_of[r]
    if (offset + i + 1 > read_end) read_end = offset + i + 1
  }
}

# The bytes read, from the first to the file's end, with none missing.
function log_bytes(   offset, gap, others, last, id, i) {
  if (read_end == 0) {
    # The files the log reads, in order.
    for (id = 0; id < 65536; id++) {
      if (!(id in read_files) || id == file + 0) continue
      if (last != "") others = others (others != "" ? ", " : "") last
      last = id
    }
    if (last != "") others = others (others != "" ? " and " : "") last
    fail("no successful READ BINARY (176) of file " file " in the log" \
         (others != "" ? "; it reads " others ": name one with -v file=" : ""))
  }
  for (i = 1; i <= shorts; i++) {
    if (!size_line) {
      fail(short_reply[i] ": cut short, or the end of the file? Without quotes, only the" \
           " file's size tells: capture the log with a GET RESPONSE of it")
    }
    if (known_size != short_end[i]) {
      fail(short_reply[i] ": it was cut short, since line " size_line " ends the file at byte " \
           known_size "; capture the log again")
    }
  }
  if (size_line && read_end > known_size) {
    for (offset = known_size; !(offset in read_at); offset++) continue
    fail(at(read_line[offset]) "bytes read past the file's end at byte " known_size \
         ", which line " size_line " gives: was a reply cut short? Capture the log again")
  }
  if (size_line) read_end = known_size
  for (offset = 0; offset < read_end; offset++) {
    if (!(offset in read_at)) {
      gap = offset
      while (gap < read_end && !(gap in read_at)) gap++
      fail("no reply holds bytes " offset " to " gap - 1 " of file " file " (P1 " \
           int(offset / 256) ", P2 " offset % 256 "): read them too, and capture the log again")
    }
    byte[offset] = read_at[offset]
  }
  size = read_end
}

# ---- What every capture must give: whole entries, each a network or a free
# slot.

function value_at(i) {
  return hexval[substr(byte[i], 1, 1)] * 16 + hexval[substr(byte[i], 2, 1)]
}

# Whether the bytes are UTF-16 text: a mark, or a NUL in every other byte.
function utf16_bytes(   i, even, odd) {
  if (byte[0] byte[1] == "FFFE" || byte[0] byte[1] == "FEFF") return 1
  if (size < 4 || size % 2) return 0
  for (i = 0; i < size; i++) {
    if (byte[i] == "00") {
      if (i % 2) odd++
      else even++
    }
  }
  return odd == size / 2 || even == size / 2
}

# Whether the bytes are text: UTF-8, with no control but tab, line ends,
# form feed, escape and Ctrl-Z, and with a line end or else nothing but
# hexadecimal digits and separators. The bytes of a card's PLMN list, whose
# free slots are FF, never are; one that is printable all through holds
# neither line ends (0A, 0D) nor only digits.
function text_bytes(   i, v, follow, lines, digits) {
  digits = 1
  for (i = 0; i < size; i++) {
    v = value_at(i)
    if (v == 10 || v == 13) lines = 1
    if (!(v == 9 || v == 32 || v == 58 || (v >= 48 && v <= 57) || (v >= 65 && v <= 70) ||
          (v >= 97 && v <= 102))) {
      digits = 0
    }
    if (follow) {
      if (v < 128 || v > 191) return 0
      follow--
    } else if (v == 9 || v == 10 || v == 12 || v == 13 || v == 26 || v == 27 ||
               (v >= 32 && v < 127)) {
      continue
    } else if (v >= 194 && v <= 244) {
      follow = v < 224 ? 1 : v < 240 ? 2 : 3
    } else {
      return 0
    }
  }
  return !follow && (lines || digits)
}

# Whether the identity at byte `i` is a free slot (FFFFFF) or a network's:
# BCD digits, with F only as the third digit of the MCC or MNC.
function identity_ok(i,   id) {
  id = byte[i] byte[i + 1] byte[i + 2]
  return id == "FFFFFF" || id ~ /^[0-9][0-9][0-9F][0-9F][0-9][0-9]$/
}

function check_bytes(   i) {
  if (size == 0) fail("the capture holds no bytes: give the capture of the file")
  if (mode != "log" && utf16_bytes()) fail_utf16("is UTF-16 text, which awk does not read")
  if (mode != "log" && text_bytes()) {
    fail("the bytes are text, not a card's file: give a text capture to awk itself, not" \
         " through od")
  }
  if (size % entry || size < entry * fewest_of[file]) {
    fail(size " bytes, which is not " name_of[file] "'s " entry "-byte entries, at least " \
         fewest_of[file] ": the capture is cut short, or it is of another file; capture it" \
         " again whole, or name its file with -v file=")
  }
  for (i = 0; i < size; i += entry) {
    if (!identity_ok(i)) {
      fail("entry " i / entry + 1 " (byte " i ") starts " byte[i] byte[i + 1] byte[i + 2] \
           ", neither a network nor a free slot (FFFFFF): this is not " name_of[file] \
           " as it stands; a capture of another file, or bytes out of place?")
    }
    # The last 3 bits of the access technology mean nothing yet; FFFF, all
    # of them, is an old way of saying "any".
    if (entry == 5 && byte[i] byte[i + 1] byte[i + 2] != "FFFFFF" &&
        value_at(i + 4) % 8 && byte[i + 3] byte[i + 4] != "FFFF") {
      fail("entry " i / entry + 1 " (byte " i ") has the access technology " byte[i + 3] \
           byte[i + 4] ", whose last 3 bits mean nothing: this is not " name_of[file] \
           " as it stands; a capture of another file, or bytes out of place?")
    }
  }
}

# How to turn UTF-16 text into text that awk reads, the name quoted for the
# shell where it needs it.
function iconv(   name) {
  name = (FILENAME == "" || FILENAME == "-") ? "CAPTURE" : ascii(FILENAME)
  if (name ~ /[^A-Za-z0-9_.\/-]/) {
    gsub(/'/, "'\\''", name)
    name = "'" name "'"
  }
  return "iconv -f UTF-16 -t UTF-8 " name " >capture.txt"
}

function utf16_advice() {
  return ": is it UTF-16 text? Then convert it first: " iconv()
}

# Whether the capture's last line ends with a line end: the records do not
# tell, so the file is read again, whole, as one record. (Standard input
# cannot be, and is taken to.)
function ends_with_line_end(   whole, saved, ended) {
  if (FILENAME == "" || FILENAME == "-") return 1
  saved = RS
  RS = "\001"
  ended = (getline whole < FILENAME) > 0 && whole ~ /[\r\n]$/
  close(FILENAME)
  RS = saved
  return ended
}

function fail_utf16(what) {
  fail("the capture " what ": convert it first: " iconv())
}

# To standard error through cat: gawk --posix opens "/dev/stderr" as a file,
# which empties a log file that standard error is sent to.
function fail(message,   where) {
  where = (FILENAME == "" || FILENAME == "-") ? "" : ascii(FILENAME) ": "
  printf "%s: %s%s\n", me, where, message | "cat 1>&2"
  close("cat 1>&2")  # waits for it: the message is out before the status
  failed = 1
  exit 1
}

END {
  if (failed) exit 1
  if (mode == "log") {
    log_end()
  } else {
    if (nul_line) {
      fail(at(nul_line) "a NUL byte, which no text capture holds: a binary file goes through" \
           " od -An -v -tx1" utf16_advice())
    }
    if (!wide && NR > 0) {
      fail("no line of two characters or more" utf16_advice() "; a binary file? Then give" \
           " it through od -An -v -tx1")
    }
    if (shape_error != "") fail(shape_error)
    if (mode == "dump" && dump_kind != "xxd" && !final_line && size > 0) {
      fail("the dump ends without its last line, the offset of its end, after offset " \
           in_radix(size) ": its end is missing; dump the whole file again")
    }
    # After a whole line, the offset of the end reads as the offset of a
    # line cut short after it, unless a line end follows.
    if (final_line && last_whole && !ends_with_line_end()) {
      fail(at(final_line) "the offset " in_radix(size) ", with no line end after it, may start" \
           " a line cut short: if the dump is whole, end it with a line end")
    }
    if (carry != "") fail("an odd number of digits: a digit is missing; capture the list again")
  }
  check_bytes()
  for (i = 0; i < size; i += entry) {
    if (entry == 3) {
      print byte[i] byte[i + 1] byte[i + 2] "----"
    } else {
      print byte[i] byte[i + 1] byte[i + 2] byte[i + 3] byte[i + 4]
    }
  }
}
