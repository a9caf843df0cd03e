// Buffered output to a file descriptor that notices when writing fails.

#ifndef PLMN_OUTPUT_H_
#define PLMN_OUTPUT_H_

#include <cstddef>
#include <string_view>

#include "terminal.h"

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

  // Writes text that comes from the file or the path, as the reader is to
  // be shown it (see `first_run`): a pipe or a file gets it as it stands.
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
