#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform.h"

namespace {

// The longest pause between two tries to open a file under a lease: how
// late, at most, the tool sees that the holder has let go.
constexpr long kLongestPauseNs = 50'000'000;

file_type type_of(const struct stat& filestat) {
  return S_ISREG(filestat.st_mode) ? file_type::regular : file_type::other;
}

}  // namespace

void utf8_arguments(int&, char**&) {}

file_type path_type(const char* path) {
  struct stat filestat {};
  return stat(path, &filestat) == 0 ? type_of(filestat) : file_type::unknown;
}

file_type descriptor_type(int fd) {
  struct stat filestat {};
  return fstat(fd, &filestat) == 0 ? type_of(filestat) : file_type::unknown;
}

int open_input(const char* path) {
  // Every open is non-blocking: without O_NONBLOCK, opening a FIFO waits for
  // a writer, for ever if none comes; with it, a FIFO opens at once. That
  // holds for each look at the path, whatever it names by then.
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
  int fd = open(path, kFlags);
  // EWOULDBLOCK: another process holds a lease on the file (Samba's oplocks
  // and NFS delegations take them), and the open has asked it to let go.
  // Wait for that as any reader of the file does, but by trying again rather
  // than with a blocking open, which would look the path up anew and wait
  // on whatever it names then: a FIFO renamed over the file, say. The system
  // breaks a lease itself once its holder has had its time
  // (/proc/sys/fs/lease-break-time, 45 s by default), so this ends.
  for (long pause_ns = 1'000'000; fd < 0 && (errno == EWOULDBLOCK || errno == EAGAIN);) {
    const timespec pause = {0, pause_ns};
    nanosleep(&pause, nullptr);
    pause_ns = std::min(pause_ns * 2, kLongestPauseNs);
    fd = open(path, kFlags);
  }
  if (fd >= 0) {
    // The file is read with plain blocking I/O: what O_NONBLOCK means for a
    // regular file is up to each system and file system. The open is done,
    // so the flag can go whatever the file is: the tool reads nothing but a
    // descriptor that `descriptor_type` calls regular.
    int flags = fcntl(fd, F_GETFL);
    if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  return fd;
}

terminal terminal_of(int fd) {
  if (isatty(fd) != 1) return terminal::none;
  return terminal_for_locale(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
}

ssize_t write_some(int fd, const char* data, size_t size) { return write(fd, data, size); }
