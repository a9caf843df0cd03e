// Reading a PLMN list file: lines, line ends and the bytes that end the input.

#ifndef PLMN_READER_H_
#define PLMN_READER_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "decode.h"
#include "plmn.h"
#include "utf16.h"

// Turns the bytes of a PLMN list file, given in pieces of any size, into
// calls of `decode_line`. The text rules it applies:
//  - a UTF-8 byte-order mark at the very start of the file is skipped;
//  - a file that starts with a UTF-16 byte-order mark, FF FE (little-endian)
//    or FE FF (big-endian), reads as the same text in UTF-8 with a mark: the
//    mark is skipped, each character stands as its UTF-8 bytes (U+FFFD for
//    an unpaired surrogate or a last odd byte), and the rules below apply to
//    that text, so only the character U+001A ends it and a U+FEFF after the
//    mark is content. A file with neither mark is taken byte for byte;
//  - the input ends at the first Ctrl-Z (0x1A) byte, as if the file ended
//    there, the way text files written on DOS and Windows end;
//  - lines end at LF, and one CR directly before an LF is removed with it;
//    any other CR is an ordinary character of its line;
//  - the characters after a line's last whole entry yield nothing.
// A line reaches `decode_line` in pieces that are whole entries, so memory
// does not grow with the length of a line: at most 9 characters of an entry
// and one CR that may turn out to end the line are carried between pieces.
// A UTF-16 file is decoded a chunk at a time into a fixed-size buffer.
class list_reader {
 public:
  explicit list_reader(plmn_table& plmns) : plmns_(plmns) {}

  // Takes the next bytes of the file. Returns false once the input has ended
  // at a Ctrl-Z; bytes given after that are ignored.
  bool feed(std::string_view bytes);

  // Ends the input at the end of the file: decodes what the last line holds.
  void finish();

 private:
  std::string_view skip_byte_order_mark(std::string_view bytes);
  bool feed_utf16(std::string_view bytes);
  bool take_text(std::string_view text);
  void end_text();
  void take_line_bytes(std::string_view bytes);
  void take_content(std::string_view content);
  void end_line();

  plmn_table& plmns_;
  char carry_[kEntrySize] = {};  // the start of an entry not yet complete
  size_t carry_size_ = 0;
  bool pending_cr_ = false;  // a CR seen last, kept back until we know whether LF follows
  bool at_start_ = true;     // still deciding whether the file starts with a byte-order mark
  std::string_view mark_;    // the byte-order mark that the bytes seen so far begin
  size_t mark_matched_ = 0;  // bytes of the byte-order mark seen so far
  // Once a UTF-16 mark is seen: the decoder, and the buffer that takes its
  // UTF-8 on the way to the text rules. Made then, so that reading any
  // other file costs neither.
  std::optional<utf16_decoder> utf16_;
  std::unique_ptr<char[]> utf8_;
  bool finished_ = false;
};

// The size of the blocks `read_plmn_list` reads by default: large enough
// that system calls cost little, small enough to stay in the CPU's cache.
constexpr size_t kDefaultBlockSize = size_t{128} << 10;

// Reads the file open on `fd` to its end, `block_size` bytes at a time, and
// files its entries in `plmns`. Returns 0, or the errno of a read that failed.
int read_plmn_list(int fd, plmn_table& plmns, size_t block_size = kDefaultBlockSize);

#endif  // PLMN_READER_H_
