#include <fcntl.h>
#include <sys/stat.h>

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
  // comes. The flag can stay set: it changes nothing for a regular file, the
  // only kind the tool reads.
  return open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
