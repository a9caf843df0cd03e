// Buffered output to a file descriptor that notices when writing fails.

#ifndef PLMN_OUTPUT_H_
#define PLMN_OUTPUT_H_

#include <cstddef>
#include <string_view>

// What the reader of the output is shown, which decides what of the file and
// the path may be written there as it stands.
enum class terminal : unsigned char {
  none,   // no terminal: a pipe or a file gets every byte as it stands
  utf8,   // a terminal that takes UTF-8, or a Windows console (characters)
  ascii,  // a terminal taken to show ASCII alone
};

// What a POSIX terminal takes, from the values of LC_ALL, LC_CTYPE and LANG
// (null where unset): the first that is set and not empty names the locale,
// whose character set is UTF-8 when its codeset (after the first ".", up to
// any "@") reads UTF-8 or utf8, in any case. Anything else, no locale at all
// included, is taken to show ASCII alone. The names are read as they stand,
// with no setlocale: the answer does not depend on the locales installed.
terminal terminal_for_locale(const char* lc_all, const char* lc_ctype, const char* lang);

// Collects text and writes it in large blocks. The first failed write is
// remembered and everything after it is dropped, so the caller checks once,
// at the end, whether all of its output arrived. The buffer is part of the
// object, so that writing allocates nothing: a message that memory ran out
// can still be written.
class output {
 public:
  // `shown` says what `fd` shows its reader.
  output(int fd, terminal shown);

  void write(std::string_view text);

  // Writes text that comes from the file or the path. The bytes of a file
  // must not drive the terminal (escape sequences) or hide or disguise what
  // is listed (CR, BS, a right-to-left override), so a terminal is shown
  // each character that it could take for anything but a printable one as
  // one "?". To a terminal that takes UTF-8: a C0 or C1 control, DEL, a
  // character that reorders or hides text, and each byte that is not part of
  // a well-formed UTF-8 character. To one taken to show ASCII alone, where
  // the bytes 80 to 9F are C1 controls: each byte outside 20 to 7E. Anywhere
  // else the text is written as it stands.
  void write_untrusted(std::string_view text) {
    if (shown_ == terminal::none) {
      write(text);
    } else {
      write_shown(text);
    }
  }

  // Writes what is buffered. Returns 0, or the errno of the first write that
  // failed since the output was made.
  int flush();

 private:
  static constexpr size_t kCapacity = size_t{64} << 10;

  void write_shown(std::string_view text);

  int fd_;
  terminal shown_;
  int error_ = 0;
  size_t size_ = 0;
  char buffer_[kCapacity];  // only what is written is touched
};

#endif  // PLMN_OUTPUT_H_
