#include "decode.h"

#include <algorithm>
#include <cstdint>

#include "little_endian.h"

namespace {

uint64_t byte_at(uint64_t word, int i) { return (word >> (8 * i)) & 0xFF; }

// 'F' and 'f' alike: hex dumps come in both cases, and the filler and the
// empty slot mean the same in either.
bool is_filler(uint64_t byte) { return (byte | 0x20) == 'f'; }

// An empty slot is one whose PLMN identity (the first six characters) is all
// filler; its access technology characters do not matter.
bool is_empty_slot(uint64_t head) {
  constexpr uint64_t kSixBytes = (uint64_t{1} << 48) - 1;
  constexpr uint64_t kCaseBits = 0x2020'2020'2020;
  constexpr uint64_t kFillers = 0x6666'6666'6666;  // "ffffff"
  return ((head | kCaseBits) & kSixBytes) == kFillers;
}

// Decodes the entry at `e`. The identity is three bytes of BCD digits, two a byte, the first of
// each pair in the byte's low nibble. Hexadecimal writes a byte's high nibble first, so each
// pair of digits stands swapped in the text:
//   0 1  MCC digit 2, MCC digit 1
//   2 3  MNC digit 3 (filler for a 2-digit MNC), MCC digit 3
//   4 5  MNC digit 2, MNC digit 1
// and characters 6 to 9 are the access technology, copied as they stand.
//
// The key is put together in two machine words rather than byte by byte in
// memory, which keeps this loop short and free of stalls on partly written
// words.
plmn decode_entry(const char* e) {
  uint64_t head = load_le64(e);
  bool mcc3 = !is_filler(byte_at(head, 3));
  bool mnc3 = !is_filler(byte_at(head, 2));
  int mcc_size = 2 + mcc3;
  int identity_size = mcc_size + 2 + mnc3;
  // Each pair of characters swapped: digits 1 2 3 of the MCC, then MNC
  // digit 3, then MNC digits 1 2.
  constexpr uint64_t kEvenBytes = 0x00FF'00FF'00FF'00FF;
  uint64_t swapped = (head & kEvenBytes) << 8 | ((head >> 8) & kEvenBytes);
  uint64_t mcc = swapped & (mcc3 ? 0xFF'FFFF : 0xFFFF);
  uint64_t mnc = (swapped >> 32 & 0xFFFF) | (mnc3 ? head & 0xFF'0000 : 0);
  uint64_t act = head >> 48 | (load_le64(e + 2) >> 48) << 16;  // characters 6 to 9
  // The key's first eight bytes, and what spills over past them: the last
  // 0 to 2 characters of the access technology.
  uint64_t low = mcc | mnc << (8 * mcc_size) | act << (8 * identity_size);
  uint64_t high = act >> (64 - 8 * identity_size);

  plmn record;
  store_le(record.text, low, 8);
  store_le(record.text + 8, high, 2);
  record.key_size = static_cast<uint8_t>(identity_size + plmn::kActSize);
  record.mcc_size = static_cast<uint8_t>(mcc_size);
  return record;
}

}  // namespace

void decode_line(std::string_view line, plmn_table& plmns) {
  // In batches: the first pass picks out the entries that are not empty
  // slots without a branch on each (free slots come and go at random in a
  // list, and a branch on them is mispredicted often), the second files them.
  constexpr size_t kBatch = 64;
  // Each slot is written before it is read. Left uninitialized even where
  // locals start out zeroed (hardened builds), which would otherwise clear
  // its 512 bytes for every line, a cost as large as the decoding of a
  // short one. (The GNU spelling, which clang takes too.)
  __attribute__((uninitialized)) const char* used[kBatch];
  const char* p = line.data();
  for (size_t entries = line.size() / kEntrySize; entries > 0;) {
    size_t batch = std::min(entries, kBatch), count = 0;
    for (size_t i = 0; i < batch; ++i, p += kEntrySize) {
      used[count] = p;
      count += !is_empty_slot(load_le64(p));
    }
    for (size_t i = 0; i < count; ++i) {
      plmns.file_entry(used[i], decode_entry);
    }
    entries -= batch;
  }
}
