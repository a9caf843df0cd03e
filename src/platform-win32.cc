#include <fcntl.h>
#include <io.h>

#include "platform.h"

// Asks the MinGW-w64 start-up code to expand wildcards in the arguments
// before main runs, as Windows programs are expected to do: the console
// leaves that to each program. An argument that matches no file is passed on
// unchanged, so `plmn *.nothing` fails at the status query like any missing
// path, and of several matches the first one the runtime lists is used.
extern "C" {
extern int _dowildcard;
int _dowildcard = -1;
}

int open_input(const char* path) {
  // Binary, since the reader applies the text rules itself. In text mode the
  // runtime would apply them first, and a line ending in CR CR LF would lose
  // both of its CRs instead of the one directly before the LF.
  return _open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
