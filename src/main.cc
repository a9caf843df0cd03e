// plmn: lists the networks of a SIM/USIM PLMN list written out in hexadecimal.
//
// Usage: plmn FILE
// Writes one line MCC:MNC:ACT per distinct network, sorted, on standard
// output, and ends with status 0. Every failure ends with status 1: with no
// argument, the usage text; for a path that names no regular file that can
// be opened, a message and the usage text; when reading the file fails or
// memory runs out, a message and no listing; and when standard output cannot
// be written, a message on standard error. On a terminal, what comes from the
// file or the path shows with "?" for each character that the terminal could
// take for anything but a printable character (see terminal.h).

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "output.h"
#include "platform.h"
#include "plmn.h"
#include "reader.h"

namespace {

void shell_help(output& out) {
  out.write(
      "As the first argument, provide the filename\n"
      "of a text file, containing the PLMN definitions.\n");
}

// Writes a one-line message about the path: `before`, the path, `after`.
void report(output& out, std::string_view before, std::string_view path, std::string_view after) {
  out.write(before);
  out.write_untrusted(path);
  out.write(after);
}

// Reports a failure of the checks on the path: its message, then the usage.
int fail(output& out, std::string_view before, std::string_view path, std::string_view after) {
  report(out, before, path, after);
  shell_help(out);
  return 1;
}

void write_listing(output& out, plmn_table& plmns) {
  for (const plmn& record : plmns.sorted()) {
    // The fields are the file's characters, whatever they are.
    out.write_untrusted(record.mcc());
    out.write(":");
    out.write_untrusted(record.mnc());
    out.write(":");
    out.write_untrusted(record.act());
    out.write("\n");
  }
}

// Reports a status query that did not find a regular file. Returns 0 when
// it did, or the exit status.
int check_type(output& out, file_type type, std::string_view path) {
  if (type == file_type::regular) return 0;
  if (type == file_type::unknown) return fail(out, "Failed to stat ", path, " .\n");
  return fail(out, "", path, " exists, but is not a regular file.\n");
}

// Files the networks of the file open on `infile` and lists them.
int read_and_list(output& out, int infile, std::string_view path) {
  plmn_table plmns;
  if (read_plmn_list(infile, plmns) != 0) {
    // A listing of part of the file would pass for the whole of it.
    report(out, "Failed to read ", path, " .\n");
    return 1;
  }
  write_listing(out, plmns);
  return 0;
}

int run(int argc, char** argv, output& out) {
  if (argc < 2) {
    shell_help(out);
    return 1;
  }
  const char* path = argv[1];  // any further arguments are ignored

  if (int status = check_type(out, path_type(path), path)) return status;
  int infile = open_input(path);
  if (infile < 0) return fail(out, "Failed to open ", path, " .\n");
  // The path may name another file by now, a FIFO say, put there after the
  // query: what counts is the file that was opened.
  if (int status = check_type(out, descriptor_type(infile), path)) {
    close(infile);
    return status;
  }

  int status;
  try {
    status = read_and_list(out, infile, path);
  } catch (const std::bad_alloc&) {
    // The table cannot grow. A listing of part of the file would pass for
    // the whole of it, so there is none.
    report(out, "Out of memory while reading ", path, " .\n");
    status = 1;
  }
  close(infile);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  utf8_arguments(argc, argv);
  // In static storage, not on the stack: a run mostly writes a few lines of
  // its 64 KiB buffer, and only the pages written are touched there. On the
  // stack, a hardened build would clear the whole buffer (locals start out
  // zeroed) and touch every page of it first (stack clash probes), which
  // costs more than the rest of a small list's run.
  static output out(STDOUT_FILENO, terminal_of(STDOUT_FILENO));
  int status = run(argc, argv, out);
  if (int error = out.flush(); error != 0) {
    std::fprintf(stderr, "plmn: cannot write standard output: %s\n", std::strerror(error));
    return 1;
  }
  return status;
}
