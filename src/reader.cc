#include "reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <memory>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr std::string_view kByteOrderMarks[] = {kUtf8Mark, kUtf16LittleEndianMark,
                                                kUtf16BigEndianMark};
constexpr char kCtrlZ = '\x1A';

// The bytes of UTF-16 decoded at a time: their UTF-8 (half as many bytes,
// for the ASCII of a real list) is still in the CPU's cache when the text
// rules read it.
constexpr size_t kUtf16Chunk = size_t{16} << 10;

}  // namespace

bool list_reader::feed(std::string_view bytes) {
  if (finished_) return false;
  if (at_start_) bytes = skip_byte_order_mark(bytes);
  if (utf16_) return feed_utf16(bytes);
  return take_text(bytes);
}

void list_reader::finish() {
  if (finished_) return;
  if (at_start_) {
    // The file ended inside what looked like a byte-order mark: those bytes
    // are the start of the first line after all.
    at_start_ = false;
    take_line_bytes(mark_.substr(0, mark_matched_));
  }
  if (utf16_) {
    // U+FFFD for a character that the end of the file cut short: neither a
    // line end nor a Ctrl-Z.
    take_line_bytes({utf8_.get(), utf16_->finish(utf8_.get())});
  }
  end_text();
}

std::string_view list_reader::skip_byte_order_mark(std::string_view bytes) {
  // The mark may arrive split over several pieces. No two marks start with
  // the same byte, so the first byte tells which one it may be.
  while (at_start_ && !bytes.empty()) {
    if (mark_matched_ == 0) {
      const auto* mark = std::find_if(std::begin(kByteOrderMarks), std::end(kByteOrderMarks),
                                      [&](std::string_view m) { return m[0] == bytes[0]; });
      if (mark == std::end(kByteOrderMarks)) {
        at_start_ = false;
        break;
      }
      mark_ = *mark;
    } else if (bytes[0] != mark_[mark_matched_]) {
      // No mark after all: the bytes that matched start the first line.
      at_start_ = false;
      take_line_bytes(mark_.substr(0, mark_matched_));
      break;
    }
    bytes.remove_prefix(1);
    if (++mark_matched_ == mark_.size()) {
      at_start_ = false;
      if (mark_ != kUtf8Mark) {
        utf16_.emplace(mark_ == kUtf16BigEndianMark);
        utf8_.reset(new char[utf16_decoder::max_output(kUtf16Chunk)]);
      }
    }
  }
  return bytes;
}

bool list_reader::feed_utf16(std::string_view bytes) {
  // A U+001A decodes to the byte 0x1A, and nothing else does: the text rules
  // end the input there, and not at a 0x1A byte of some other character.
  while (!bytes.empty()) {
    std::string_view chunk = bytes.substr(0, kUtf16Chunk);
    bytes.remove_prefix(chunk.size());
    if (!take_text({utf8_.get(), utf16_->decode(chunk, utf8_.get())})) return false;
  }
  return true;
}

bool list_reader::take_text(std::string_view text) {
  if (text.empty()) return true;
  bool ended = false;
  if (const void* z = std::memchr(text.data(), kCtrlZ, text.size())) {
    text = text.substr(0, static_cast<const char*>(z) - text.data());
    ended = true;
  }
  while (const void* lf = std::memchr(text.data(), '\n', text.size())) {
    size_t length = static_cast<const char*>(lf) - text.data();
    take_line_bytes(text.substr(0, length));
    end_line();
    text.remove_prefix(length + 1);
  }
  take_line_bytes(text);
  if (ended) end_text();
  return !ended;
}

void list_reader::end_text() {
  finished_ = true;
  if (pending_cr_) {
    // No LF follows this CR, so it belongs to the line.
    pending_cr_ = false;
    take_content("\r");
  }
  end_line();
}

void list_reader::take_line_bytes(std::string_view bytes) {
  if (bytes.empty()) return;
  if (pending_cr_) {
    pending_cr_ = false;  // more of the line follows it
    take_content("\r");
  }
  if (bytes.back() == '\r') {
    pending_cr_ = true;
    bytes.remove_suffix(1);
  }
  take_content(bytes);
}

void list_reader::take_content(std::string_view content) {
  if (content.empty()) return;
  if (carry_size_ > 0) {
    size_t n = std::min(kEntrySize - carry_size_, content.size());
    std::memcpy(carry_ + carry_size_, content.data(), n);
    carry_size_ += n;
    content.remove_prefix(n);
    if (carry_size_ < kEntrySize) return;
    decode_line({carry_, kEntrySize}, plmns_);
    carry_size_ = 0;
  }
  if (content.empty()) return;
  size_t whole = content.size() - content.size() % kEntrySize;
  decode_line(content.substr(0, whole), plmns_);
  carry_size_ = content.size() - whole;
  std::memcpy(carry_, content.data() + whole, carry_size_);
}

void list_reader::end_line() {
  // A CR right before the LF is removed with it, and the fragment after the
  // last whole entry is dropped.
  pending_cr_ = false;
  carry_size_ = 0;
}

int read_plmn_list(int fd, plmn_table& plmns, size_t block_size) {
  std::unique_ptr<char[]> block(new char[block_size]);
  list_reader reader(plmns);
  for (;;) {
    ssize_t n = read(fd, block.get(), static_cast<unsigned>(block_size));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    if (!reader.feed({block.get(), static_cast<size_t>(n)})) break;
  }
  reader.finish();
  return 0;
}
