// What the tool does differently on Windows and on POSIX systems. Everything
// else is the same on both; platform-posix.cc and platform-win32.cc hold the
// differences, and the build compiles the one that fits the target.
//
// Paths are UTF-8 text throughout the tool. On POSIX systems a path is the
// bytes of the argument, whatever they are; on Windows the arguments are
// taken from the wide-character command line and converted, and paths are
// converted back for the file system's wide-character calls, so any name that
// the file system holds (as valid UTF-16) names that file and no other.
//
// Output needs no mode set here: standard output and standard error start in the
// runtime's text mode on both, so on Windows each "\n" the tool writes comes
// out as CR LF, the way console programs there end their lines. (Setting the
// mode again would be no safer: on Windows, _setmode on a descriptor that is
// closed calls the runtime's invalid-parameter handler, which may end the
// program before it can report that its output failed.)

#ifndef PLMN_PLATFORM_H_
#define PLMN_PLATFORM_H_

#include <sys/types.h>

#include <cstddef>

#include "terminal.h"

// Replaces `argc` and `argv` by the arguments as UTF-8 text. On POSIX systems
// they stay as they are. On Windows they are read anew from the wide-character
// command line, with wildcards expanded the way the runtime's start-up code
// does it; the new ones last until the program ends.
void utf8_arguments(int& argc, char**& argv);

// What a file-status query tells of a file.
enum class file_type {
  unknown,  // the query failed: no such file, say
  regular,
  other,  // a folder, a device, a FIFO ...
};

// The type of the file that `path` names.
file_type path_type(const char* path);

// The type of the file open on `fd`.
file_type descriptor_type(int fd);

// Opens `path` for reading. Returns its descriptor, or -1 with errno set.
// Whatever the path names at any moment, a FIFO put in place of the file
// opens at once, without waiting for a writer, and `descriptor_type` then
// tells it apart. A file under a lease (Samba's oplocks, NFS delegations)
// opens once the lease holder lets go of it, as it does for any reader: the
// open is tried again until then. The descriptor then reads with blocking
// I/O. The bytes come as they stand in the file, with no translation of line
// ends: the reader applies the text rules (CR LF, Ctrl-Z, byte-order mark)
// itself, so one file gives the same networks on every system.
int open_input(const char* path);

// What `fd` shows its reader: whether it is a terminal (on Windows, a
// console), where what is written is shown to someone and may drive the
// terminal, and if so, what it takes. A POSIX terminal takes what the
// locale's character set says (`terminal_for_locale`); a Windows console
// takes characters, whatever the locale and code page.
terminal terminal_of(int fd);

// Writes some of the `size` bytes at `data` to `fd`. Returns how many, or -1
// with errno set. A reader that has gone (a pipe closed at its other end) is
// EPIPE on every system, where the Windows runtime alone would say EINVAL;
// on POSIX systems the signal SIGPIPE usually ends the program first.
ssize_t write_some(int fd, const char* data, size_t size);

#endif  // PLMN_PLATFORM_H_
