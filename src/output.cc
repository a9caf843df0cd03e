#include "output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform.h"

namespace {

// The well-formed UTF-8 character that `text` starts with: its size in bytes
// and its code point. The size is 0 if the first byte starts none: a stray
// continuation byte, an overlong form, a surrogate, a code point past
// U+10FFFF or a character cut short.
struct utf8_character {
  size_t size;
  char32_t code;
};

utf8_character first_utf8(std::string_view text) {
  auto byte = [&](size_t i) -> char32_t { return static_cast<unsigned char>(text[i]); };
  char32_t lead = byte(0);
  if (lead < 0x80) return {1, lead};
  size_t size;
  char32_t code;
  char32_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // not overlong
    if (lead == 0xED) high = 0x9F;  // not a surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // not overlong
    if (lead == 0xF4) high = 0x8F;  // not past U+10FFFF
  } else {
    return {0, 0};
  }
  if (text.size() < size || byte(1) < low || byte(1) > high) return {0, 0};
  for (size_t i = 1; i < size; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {0, 0};
    code = code << 6 | (byte(i) & 0x3F);
  }
  return {size, code};
}

// Whether a terminal that takes UTF-8 is shown `code` as it stands: not a
// control, C0 (U+0000 to U+001F), DEL or C1 (U+0080 to U+009F), nor a
// character that reorders the text around it or shows nothing, which
// would make a line read as another: the soft hyphen; the Arabic letter
// mark; the zero-width space, joiners and the marks of direction; the line
// and paragraph separators and the embeddings and overrides of direction;
// the word joiner and the invisible operators; the isolates of direction;
// the zero-width no-break space (a byte-order mark); and the tags.
bool is_shown(char32_t code) {
  if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return false;
  return !(code == 0x00AD || code == 0x061C || (code >= 0x200B && code <= 0x200F) ||
           (code >= 0x2028 && code <= 0x202E) || (code >= 0x2060 && code <= 0x2064) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF ||
           (code >= 0xE0000 && code <= 0xE007F));
}

// The first character of `text` as `shown` is to be shown it: its size in
// bytes, and whether it goes as it stands (or as one "?"). A byte that
// starts no character counts as a character of its own.
struct character {
  size_t size;
  bool as_it_stands;
};

character first_character(std::string_view text, terminal shown) {
  if (shown == terminal::ascii) {
    auto byte = static_cast<unsigned char>(text[0]);
    return {1, byte >= 0x20 && byte <= 0x7E};
  }
  utf8_character c = first_utf8(text);
  if (c.size == 0) return {1, false};
  return {c.size, is_shown(c.code)};
}

// Whether `text` is `lower_case` written in any case.
bool equals_in_any_case(std::string_view text, std::string_view lower_case) {
  return std::equal(text.begin(), text.end(), lower_case.begin(), lower_case.end(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

}  // namespace

terminal terminal_for_locale(const char* lc_all, const char* lc_ctype, const char* lang) {
  std::string_view locale;
  for (const char* value : {lc_all, lc_ctype, lang}) {
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  size_t dot = locale.find('.');
  if (dot == std::string_view::npos) return terminal::ascii;
  std::string_view codeset = locale.substr(dot + 1);
  codeset = codeset.substr(0, codeset.find('@'));
  bool utf8 = equals_in_any_case(codeset, "utf-8") || equals_in_any_case(codeset, "utf8");
  return utf8 ? terminal::utf8 : terminal::ascii;
}

output::output(int fd, terminal shown) : fd_(fd), shown_(shown) {}

void output::write_shown(std::string_view text) {
  while (!text.empty()) {
    // The longest run of characters that go as they stand, in one write.
    size_t run = 0;
    character c{};
    while (run < text.size() && (c = first_character(text.substr(run), shown_)).as_it_stands) {
      run += c.size;
    }
    write(text.substr(0, run));
    if (run == text.size()) break;
    // Then one "?" for the character that does not.
    write("?");
    text.remove_prefix(run + c.size);
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
