// Buffered output to a file descriptor that notices when writing fails.

#ifndef PLMN_OUTPUT_H_
#define PLMN_OUTPUT_H_

#include <cstddef>
#include <string_view>

// Collects text and writes it in large blocks. The first failed write is
// remembered and everything after it is dropped, so the caller checks once,
// at the end, whether all of its output arrived. The buffer is part of the
// object, so that writing allocates nothing: a message that memory ran out
// can still be written.
class output {
 public:
  // `terminal` says that `fd` shows what is written to someone.
  output(int fd, bool terminal);

  void write(std::string_view text);

  // Writes text that comes from the file or the path. To a terminal, each
  // character that is not printable (a C0 or C1 control, DEL) and each byte
  // that is not part of a well-formed UTF-8 character is written as one
  // "?", as `ls` shows file names: the bytes of a file must not drive the
  // terminal (escape sequences) or hide what is listed (CR, BS). Anywhere
  // else the text is written as it stands.
  void write_untrusted(std::string_view text) {
    if (terminal_) {
      write_printable(text);
    } else {
      write(text);
    }
  }

  // Writes what is buffered. Returns 0, or the errno of the first write that
  // failed since the output was made.
  int flush();

 private:
  static constexpr size_t kCapacity = size_t{64} << 10;

  void write_printable(std::string_view text);

  int fd_;
  bool terminal_;
  int error_ = 0;
  size_t size_ = 0;
  char buffer_[kCapacity];  // only what is written is touched
};

#endif  // PLMN_OUTPUT_H_
