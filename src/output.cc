#include "output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform.h"

output::output(int fd, terminal shown) : fd_(fd), shown_(shown) {}

void output::write_shown(std::string_view text) {
  while (!text.empty()) {
    shown_run run = first_run(text, shown_);
    write(text.substr(0, run.as_it_stands));
    if (run.hidden == 0) break;
    write("?");
    text.remove_prefix(run.as_it_stands + run.hidden);
  }
}

void output::write(std::string_view text) {
  while (!text.empty()) {
    size_t n = std::min(kCapacity - size_, text.size());
    // A terminal is given whole characters (a Windows console takes
    // characters, not bytes): one that does not fit waits for the next block.
    for (int back = 0; shown_ != terminal::none && back < 3 && n > 0 && n < text.size(); ++back) {
      if ((static_cast<unsigned char>(text[n]) & 0xC0) != 0x80) break;  // not inside one
      --n;
    }
    std::memcpy(buffer_ + size_, text.data(), n);
    size_ += n;
    text.remove_prefix(n);
    if (!text.empty()) flush();
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
