#include <fcntl.h>

#include "platform.h"

int open_input(const char* path) { return open(path, O_RDONLY | O_CLOEXEC); }

void use_text_mode_output() {
  // Text and binary are the same on POSIX systems: "\n" ends a line.
}
