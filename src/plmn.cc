#include "plmn.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <new>

namespace {

// Index sizes, in slots. A lookup that probes more than one slot costs a
// mispredicted branch, which is most of its time, so a small index is kept
// sparse (at most a quarter full). Past kLargeIndex, memory counts more: up
// to half full. The memo of entry texts, in slots, is capped too.
// The smallest index is small since most lists are: a run on a file of a few
// hundred bytes is mostly the program's start, which should touch little
// memory (256 bytes of index and 4 KiB of memo).
constexpr size_t kSmallestIndex = size_t{1} << 6;
constexpr size_t kLargeIndex = size_t{1} << 18;
constexpr size_t kLargestMemo = size_t{1} << 16;

bool too_full(size_t records, size_t capacity) {
  return records * (capacity < kLargeIndex ? 4 : 2) > capacity;
}

// The first 8 bytes of a key as a number that orders like the bytes do.
uint64_t leading_bytes(const plmn& record) {
  uint64_t word;
  std::memcpy(&word, record.text, sizeof word);
  if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
  return word;
}

// The last 2 bytes of the full width, likewise.
unsigned trailing_bytes(const plmn& record) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(record.text[i]); };
  return byte(8) << 8 | byte(9);
}

}  // namespace

bool key_less(const plmn& a, const plmn& b) {
  // The keys are zero-padded, so comparing the full width orders them byte
  // by byte; where the padded texts tie, one key is the other followed by
  // zero bytes, and the shorter one comes first.
  uint64_t a_lead = leading_bytes(a), b_lead = leading_bytes(b);
  if (a_lead != b_lead) return a_lead < b_lead;
  unsigned a_trail = trailing_bytes(a), b_trail = trailing_bytes(b);
  if (a_trail != b_trail) return a_trail < b_trail;
  return a.key_size < b.key_size;
}

plmn_table::plmn_table()
    : seed_(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            reinterpret_cast<uintptr_t>(this)) {
  rebuild_index(kSmallestIndex);
}

uint32_t plmn_table::place(const plmn& record) {
  if (index_.empty()) make_index();
  words key = words_of(record);
  size_t mask = index_.size() - 1;
  // Plain pointers rather than checked indexing (as hardened builds check
  // it) in the probe loop: the slot is masked to the index's size, and the
  // index holds only numbers of records there are.
  const uint32_t* index = index_.data();
  plmn* records = records_.data();
  for (size_t i = slot_of(key, seed_, shift_);; i = (i + 1) & mask) {
    uint32_t number = index[i];
    if (number == 0) {
      append(i, record);  // may move the arrays: nothing is read from them after
      return static_cast<uint32_t>(records_.size());
    }
    plmn& known = records[number - 1];
    words other = words_of(known);
    if (other.low == key.low && other.high == key.high) {
      known = record;  // the later record wins
      return number;
    }
  }
}

void plmn_table::append(size_t slot, const plmn& record) {
  // Record numbers are 32 bits; more keys than that would not fit in memory
  // on any machine this runs on, but must not wrap around either.
  if (records_.size() >= UINT32_MAX) throw std::bad_alloc();
  records_.push_back(record);
  index_[slot] = static_cast<uint32_t>(records_.size());
  if (too_full(records_.size(), index_.size())) rebuild_index(index_.size() * 2);
}

void plmn_table::make_index() {
  size_t capacity = kSmallestIndex;
  while (too_full(records_.size() + 1, capacity)) capacity *= 2;
  rebuild_index(capacity);
}

void plmn_table::rebuild_index(size_t capacity) {
  // The memo gets four slots a slot of index: plenty to keep the entry texts
  // of a real list apart, while a small table stays small.
  size_t memo_size = std::min(capacity * 4, kLargestMemo);
  if (memo_.size() != memo_size) {
    std::vector<memo_slot>().swap(memo_);
    memo_.resize(memo_size);
    memo_shift_ = 64 - std::countr_zero(memo_size);
  }
  std::vector<uint32_t>().swap(index_);  // release the old index first
  index_.resize(capacity);
  shift_ = 64 - std::countr_zero(capacity);
  size_t mask = capacity - 1;
  for (size_t n = 0; n < records_.size(); ++n) {
    size_t i = slot_of(words_of(records_[n]), seed_, shift_);
    while (index_[i] != 0) i = (i + 1) & mask;
    index_[i] = static_cast<uint32_t>(n + 1);
  }
}

std::span<const plmn> plmn_table::sorted() {
  // Sorting renumbers the records, so the index goes (and its memory with
  // it, before the sort), and so do the record numbers in the memo; filing
  // again builds a new index.
  std::vector<uint32_t>().swap(index_);
  std::fill(memo_.begin(), memo_.end(), memo_slot{});
  std::sort(records_.begin(), records_.end(),
            [](const plmn& a, const plmn& b) { return key_less(a, b); });
  return records_;
}
