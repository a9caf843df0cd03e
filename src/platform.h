// What the tool does differently on Windows and on POSIX systems. Everything
// else is the same on both; platform-posix.cc and platform-win32.cc hold the
// differences, and the build compiles the one that fits the target.

#ifndef PLMN_PLATFORM_H_
#define PLMN_PLATFORM_H_

// Opens `path` for reading. Returns its descriptor, or -1 with errno set.
// The bytes come as they stand in the file, with no translation of line ends:
// the reader applies the text rules (CR LF, Ctrl-Z, byte-order mark) itself,
// so one file gives the same networks on every system.
int open_input(const char* path);

// Puts standard output and standard error in the system's text mode. On
// Windows each "\n" written then comes out as CR LF, the way console programs
// there end their lines; on POSIX systems the bytes go out as they are.
void use_text_mode_output();

#endif  // PLMN_PLATFORM_H_
