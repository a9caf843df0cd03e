// What the tool does differently on Windows and on POSIX systems. Everything
// else is the same on both; platform-posix.cc and platform-win32.cc hold the
// differences, and the build compiles the one that fits the target.
//
// Output needs nothing here: standard output and standard error start in the
// runtime's text mode on both, so on Windows each "\n" the tool writes comes
// out as CR LF, the way console programs there end their lines. (Setting the
// mode again would be no safer: on Windows, _setmode on a descriptor that is
// closed calls the runtime's invalid-parameter handler, which may end the
// program before it can report that its output failed.)

#ifndef PLMN_PLATFORM_H_
#define PLMN_PLATFORM_H_

// Opens `path` for reading. Returns its descriptor, or -1 with errno set.
// The bytes come as they stand in the file, with no translation of line ends:
// the reader applies the text rules (CR LF, Ctrl-Z, byte-order mark) itself,
// so one file gives the same networks on every system.
int open_input(const char* path);

#endif  // PLMN_PLATFORM_H_
