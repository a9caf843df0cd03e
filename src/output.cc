#include "output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform.h"

namespace {

// The size of the well-formed UTF-8 character that `text` starts with, or 0
// if its first byte starts none: a stray continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF or a character cut short.
size_t utf8_size(std::string_view text) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned lead = byte(0);
  if (lead < 0x80) return 1;
  size_t size;
  unsigned low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    if (lead == 0xE0) low = 0xA0;   // not overlong
    if (lead == 0xED) high = 0x9F;  // not a surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    if (lead == 0xF0) low = 0x90;   // not overlong
    if (lead == 0xF4) high = 0x8F;  // not past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < size || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < size; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return size;
}

// Whether the well-formed character of `size` bytes at the start of `text`
// is a control: C0 (U+0000 to U+001F), DEL or C1 (U+0080 to U+009F, in
// UTF-8 C2 80 to C2 9F).
bool is_control(std::string_view text, size_t size) {
  auto lead = static_cast<unsigned char>(text[0]);
  if (size == 1) return lead < 0x20 || lead == 0x7F;
  return size == 2 && lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
}

}  // namespace

output::output(int fd, bool terminal) : fd_(fd), terminal_(terminal) {}

void output::write_printable(std::string_view text) {
  while (!text.empty()) {
    // The longest run of printable characters goes as it stands.
    size_t run = 0;
    for (size_t size; run < text.size(); run += size) {
      size = utf8_size(text.substr(run));
      if (size == 0 || is_control(text.substr(run), size)) break;
    }
    write(text.substr(0, run));
    text.remove_prefix(run);
    if (text.empty()) break;
    // Then one "?" for a control character, or for a byte that starts none.
    write("?");
    text.remove_prefix(std::max<size_t>(utf8_size(text), 1));
  }
}

void output::write(std::string_view text) {
  while (!text.empty()) {
    size_t n = std::min(kCapacity - size_, text.size());
    // A terminal is given whole characters (a Windows console takes
    // characters, not bytes): one that does not fit waits for the next block.
    for (int back = 0; terminal_ && back < 3 && n > 0 && n < text.size(); ++back) {
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
