#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform.h"

namespace {

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
  // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none
  // comes; with it, a FIFO opens at once.
  constexpr int kFlags = O_RDONLY | O_CLOEXEC;
  int fd = open(path, kFlags | O_NONBLOCK);
  if (fd < 0 && (errno == EWOULDBLOCK || errno == EAGAIN)) {
    // Another process holds a lease on the file (Samba's oplocks and NFS
    // delegations take them), and a non-blocking open will not wait for it
    // to be broken. Only a file can carry a lease, so this open waits for its
    // holder to let go, as any reader of the file does, and then goes on.
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

ssize_t write_some(int fd, const char* data, size_t size) { return write(fd, data, size); }
