#include <fcntl.h>

#include "platform.h"

int open_input(const char* path) { return open(path, O_RDONLY | O_CLOEXEC); }
