#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <new>
#include <string>
#include <vector>

#include "platform.h"

// Asks the MinGW-w64 start-up code to expand wildcards in the arguments
// before main runs, as Windows programs are expected to do: the console
// leaves that to each program. `utf8_arguments` expands the wide-character
// arguments the same way; these narrow ones are only used should that fail.
extern "C" {
extern int _dowildcard;
int _dowildcard = -1;

// The runtime's own parsing of the wide-character command line, the one its
// start-up code does for a wmain program. An argument holding a wildcard is
// replaced by the names that match it, sorted as the system lists them, and
// stays as it is when nothing matches. Returns 0, or -1 when out of memory.
struct startup_info {
  int new_mode;
};
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name is the runtime's.
int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expand_wildcards,
                   startup_info* info);
}

namespace {

std::string utf8_of(const wchar_t* wide) {
  int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.pop_back();  // the terminating zero, which std::string keeps apart
  return text;
}

// The path as the wide-character calls take it. It is UTF-8, unless reading
// the wide-character arguments failed and they are the runtime's narrow ones
// in the ANSI code page, which are seldom valid UTF-8.
std::wstring wide_of(const char* path) {
  UINT code_page = CP_UTF8;
  int size = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
  if (size <= 0) {
    code_page = CP_ACP;
    size = MultiByteToWideChar(code_page, 0, path, -1, nullptr, 0);
  }
  if (size <= 0) return {};
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(code_page, 0, path, -1, text.data(), size);
  text.pop_back();
  return text;
}

file_type type_of(const struct _stat64& filestat) {
  return (filestat.st_mode & _S_IFMT) == _S_IFREG ? file_type::regular : file_type::other;
}

// The console that `fd` writes to, or null where it writes to none. Not
// _isatty, which says yes to any character device, the NUL device among
// them: only a console shows what is written to it.
HANDLE console_of(int fd) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the runtime gives the handle as an integer.
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD mode;
  bool console = handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
  return console ? handle : nullptr;
}

}  // namespace

void utf8_arguments(int& argc, char**& argv) {
  int wide_argc = 0;
  wchar_t** wide_argv = nullptr;
  wchar_t** wide_env = nullptr;
  startup_info info{};
  // Where memory is too short for this, the narrow arguments stay.
  if (__wgetmainargs(&wide_argc, &wide_argv, &wide_env, 1, &info) != 0) return;
  static std::vector<std::string> texts;
  static std::vector<char*> pointers;
  try {
    for (int i = 0; i < wide_argc; ++i) texts.push_back(utf8_of(wide_argv[i]));
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
  } catch (const std::bad_alloc&) {
    return;
  }
  argc = wide_argc;
  argv = pointers.data();
}

file_type path_type(const char* path) {
  struct _stat64 filestat {};
  try {
    std::wstring wide = wide_of(path);
    if (_wstat64(wide.c_str(), &filestat) == 0) return type_of(filestat);
    // The runtime finds no folder named with a trailing separator, as in
    // `folder\` or `C:\lists\` (which tab completion writes), though it
    // finds a root such as `C:\`. Such a path names the folder without the
    // separators, and nothing else, as on POSIX systems: a file named so is
    // not found. A drive's root keeps one: `C:` is another folder than
    // `C:\`, and `C:\\` is `C:\`.
    size_t end = wide.find_last_not_of(L"\\/") + 1;  // 0 if all separators
    if (end == 2 && wide[1] == L':') end = 3;
    if (end == 0 || end >= wide.size()) return file_type::unknown;
    wide.resize(end);
    if (_wstat64(wide.c_str(), &filestat) == 0 && (filestat.st_mode & _S_IFMT) == _S_IFDIR) {
      return file_type::other;
    }
  } catch (const std::bad_alloc&) {
  }
  return file_type::unknown;
}

file_type descriptor_type(int fd) {
  struct _stat64 filestat {};
  return _fstat64(fd, &filestat) == 0 ? type_of(filestat) : file_type::unknown;
}

int open_input(const char* path) {
  // Binary, since the reader applies the text rules itself. In text mode the
  // runtime would apply them first, and a line ending in CR CR LF would lose
  // both of its CRs instead of the one directly before the LF.
  try {
    return _wopen(wide_of(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return -1;
  }
}

terminal terminal_of(int fd) { return console_of(fd) != nullptr ? terminal::utf8 : terminal::none; }

namespace {

// Writes some of the UTF-8 text at `data` to a console, as characters: the
// runtime would hand its bytes to the console, which reads them in its code
// page, and show łista.txt as something else. Each "\n" goes as CR LF, as
// the runtime's text mode writes it.
ssize_t write_console(HANDLE console, const char* data, size_t size) {
  constexpr size_t kSlice = 1024;
  size_t n = std::min(size, kSlice);
  // The slice ends between characters.
  for (int back = 0; back < 3 && n < size && (static_cast<unsigned char>(data[n]) & 0xC0) == 0x80;
       ++back) {
    --n;
  }
  wchar_t wide[kSlice];
  int units = MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(n), wide, kSlice);
  wchar_t lines[2 * kSlice];
  DWORD count = 0;
  for (int i = 0; i < units; ++i) {
    if (wide[i] == L'\n') lines[count++] = L'\r';
    lines[count++] = wide[i];
  }
  for (DWORD done = 0, written; done < count; done += written) {
    if (!WriteConsoleW(console, lines + done, count - done, &written, nullptr) || written == 0) {
      errno = EIO;
      return -1;
    }
  }
  return static_cast<ssize_t>(n);
}

}  // namespace

ssize_t write_some(int fd, const char* data, size_t size) {
  if (HANDLE console = console_of(fd)) return write_console(console, data, size);
  // The runtime turns the system's error into errno, and the ones that say
  // a pipe's reader has gone, ERROR_NO_DATA (and, under Wine,
  // ERROR_PIPE_NOT_CONNECTED) into EINVAL; the system's own error still tells
  // them apart.
  SetLastError(ERROR_SUCCESS);
  int written = _write(fd, data, static_cast<unsigned>(std::min<size_t>(size, INT_MAX)));
  if (written < 0) {
    DWORD error = GetLastError();
    if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) {
      errno = EPIPE;
    }
  }
  return written;
}
