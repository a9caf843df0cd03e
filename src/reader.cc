#include "reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kCtrlZ = '\x1A';

}  // namespace

bool list_reader::feed(std::string_view bytes) {
  if (finished_) return false;
  if (bytes.empty()) return true;
  bool ended = false;
  if (const void* z = std::memchr(bytes.data(), kCtrlZ, bytes.size())) {
    bytes = bytes.substr(0, static_cast<const char*>(z) - bytes.data());
    ended = true;
  }
  if (at_start_) bytes = skip_byte_order_mark(bytes);
  while (const void* lf = std::memchr(bytes.data(), '\n', bytes.size())) {
    size_t length = static_cast<const char*>(lf) - bytes.data();
    take_line_bytes(bytes.substr(0, length));
    end_line();
    bytes.remove_prefix(length + 1);
  }
  take_line_bytes(bytes);
  if (ended) finish();
  return !ended;
}

void list_reader::finish() {
  if (finished_) return;
  finished_ = true;
  if (at_start_) {
    // The file ended inside what looked like a byte-order mark: those bytes
    // are the start of the first line after all.
    at_start_ = false;
    take_line_bytes(kByteOrderMark.substr(0, mark_matched_));
  }
  if (pending_cr_) {
    // No LF follows this CR, so it belongs to the line.
    pending_cr_ = false;
    take_content("\r");
  }
  end_line();
}

std::string_view list_reader::skip_byte_order_mark(std::string_view bytes) {
  // The mark may arrive split over several pieces.
  while (at_start_ && !bytes.empty()) {
    if (bytes.front() == kByteOrderMark[mark_matched_]) {
      bytes.remove_prefix(1);
      at_start_ = ++mark_matched_ < kByteOrderMark.size();
    } else {
      at_start_ = false;
      take_line_bytes(kByteOrderMark.substr(0, mark_matched_));
    }
  }
  return bytes;
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
