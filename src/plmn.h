// The decoded PLMN record and the table that holds one record per key.

#ifndef PLMN_PLMN_H_
#define PLMN_PLMN_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

// One decoded entry of a PLMN list: its MCC, MNC and access technology, and
// the key it is filed under, which is the three joined with no separator.
//
// The three fields are stored once, inside the key, so a record is a small
// fixed-size value (12 bytes) that the table can hold directly: that keeps
// memory at a few dozen bytes per distinct network however long the input.
// The characters are whatever stood in the input; nothing checks them.
struct plmn {
  std::string_view key() const { return {text, key_size}; }
  std::string_view mcc() const { return {text, mcc_size}; }
  std::string_view mnc() const { return {text + mcc_size, key_size - mcc_size - act_size()}; }
  std::string_view act() const { return {text + key_size - act_size(), act_size()}; }

  static constexpr size_t kActSize = 4;
  static constexpr size_t kMaxKeySize = 10;

  // The key, zero-padded to its full width so that two records with equal
  // keys compare equal byte for byte.
  char text[kMaxKeySize] = {};
  uint8_t key_size = 0;
  uint8_t mcc_size = 0;

 private:
  // Every record but the empty one has its 4 access technology characters.
  size_t act_size() const { return key_size == 0 ? 0 : kActSize; }
};

// Orders keys by unsigned byte-wise comparison, a key that is a prefix of
// another first.
bool key_less(const plmn& a, const plmn& b);

// The table of records, one per distinct key, a later record replacing an
// earlier one with the same key.
//
// The records sit by value in one array, in the order their keys were first
// filed, and a hash index of 4-byte record numbers finds them by key. Order is
// only needed once, for the listing, so `sorted` sorts the array in place then
// rather than keeping it ordered on every insert. Memory, for a large table:
// 12 bytes a record and 8 to 16 bytes of index a record, at most about 40
// bytes a key while the arrays grow, plus a memo of entries of at most 1 MiB.
class plmn_table {
 public:
  // An empty table, with an index and a memo of a few KiB.
  plmn_table();

  // Files the record that `decode(entry)` gives for the 10-character `entry`.
  // `decode` must depend on those characters alone: the table remembers
  // which record recent entry texts gave, and files an entry seen again (most
  // entries of a real list) from that, without decoding or looking it up.
  template <class Decode>
  void file_entry(const char* entry, Decode decode);

  // The records in ascending key order. Filing again afterwards is allowed;
  // the view is then no longer valid.
  std::span<const plmn> sorted();

 private:
  // The key as two words, for hashing and comparing.
  struct words {
    uint64_t low, high;
  };
  // An entry text and the record it was filed as.
  struct memo_slot {
    uint64_t head;     // characters 0 to 7
    uint16_t tail;     // characters 8 and 9
    uint8_t mcc_size;  // the split it gives between MCC and MNC
    uint32_t number;   // record number + 1; 0 for a free slot
  };

  static words words_of(const plmn& record);
  static size_t slot_of(words key, uint64_t seed, int shift);
  uint32_t place(const plmn& record);
  void append(size_t slot, const plmn& record);
  void make_index();
  void rebuild_index(size_t capacity);

  std::vector<plmn> records_;
  // Record number + 1 for each slot, 0 for a free one. The capacity is a
  // power of two, two to four times the number of records or more, so probes
  // are short. Empty after sorting, until the next filing.
  std::vector<uint32_t> index_;
  int shift_ = 0;      // 64 - log2(capacity): the hash's top bits pick the slot
  uint64_t seed_ = 0;  // varies per run so no input is slow by design
  // Direct-mapped by a hash of the entry text; a clash only costs a lookup.
  // Its size, a power of two, follows the index's, up to 64 Ki slots.
  std::vector<memo_slot> memo_;
  int memo_shift_ = 0;  // 64 - log2(memo size)
};

inline plmn_table::words plmn_table::words_of(const plmn& record) {
  words key;
  uint16_t tail;
  std::memcpy(&key.low, record.text, sizeof key.low);
  std::memcpy(&tail, record.text + sizeof key.low, sizeof tail);
  key.high = tail | uint64_t{record.key_size} << 16;
  return key;
}

inline size_t plmn_table::slot_of(words key, uint64_t seed, int shift) {
  // Multiplicative hashing: the top bits of the products depend on every
  // bit of the key.
  uint64_t h = (key.low ^ seed) * 0x9E3779B97F4A7C15ULL + key.high * 0xC2B2AE3D27D4EB4FULL;
  return static_cast<size_t>(h >> shift);
}

template <class Decode>
inline void plmn_table::file_entry(const char* entry, Decode decode) {
  uint64_t head;
  uint16_t tail;
  std::memcpy(&head, entry, sizeof head);
  std::memcpy(&tail, entry + sizeof head, sizeof tail);
  words text = {head, tail};
  // Plain pointers rather than checked indexing (as hardened builds check
  // it), on the path of every entry: the slot is the hash's top bits, in
  // range by the memo's size, and a memo's record number is one the table
  // gave.
  memo_slot& memo = memo_.data()[slot_of(text, 0, memo_shift_)];
  if (memo.number != 0 && memo.head == head && memo.tail == tail) {
    // The same text gives the same key and split: the later record wins,
    // and only the split can differ from the record filed under that key.
    records_.data()[memo.number - 1].mcc_size = memo.mcc_size;
    return;
  }
  plmn record = decode(entry);
  uint32_t number = place(record);
  // Placing may have grown the table, and the memo with it: find the slot anew.
  memo_.data()[slot_of(text, 0, memo_shift_)] = {head, tail, record.mcc_size, number};
}

#endif  // PLMN_PLMN_H_
