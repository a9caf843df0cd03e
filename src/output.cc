#include "output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform.h"

output::output(int fd) : fd_(fd) {}

void output::write(std::string_view text) {
  while (!text.empty()) {
    size_t n = std::min(kCapacity - size_, text.size());
    std::memcpy(buffer_ + size_, text.data(), n);
    size_ += n;
    text.remove_prefix(n);
    if (size_ == kCapacity) flush();
  }
}

int output::flush() {
  const char* p = buffer_;
  size_t left = size_;
  size_ = 0;
  while (left > 0 && error_ == 0) {
    ssize_t n = write_some(fd_, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : EIO;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return error_;
}
