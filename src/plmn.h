// The decoded PLMN record and the table that holds one record per key.

#ifndef PLMN_PLMN_H_
#define PLMN_PLMN_H_

#include <cstddef>
#include <cstdint>
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
  // An unused record (empty key); the table uses it to mark a free slot.
  plmn() = default;

  // Builds the record from its four texts. `key` must be `mcc`, `mnc` and
  // `act` joined; the caller builds it, since it already holds the pieces.
  // `mcc` and `mnc` are 2 or 3 characters, `act` is 4.
  plmn(std::string_view mcc, std::string_view mnc, std::string_view act, std::string_view key);

  std::string_view key() const { return {text, key_size}; }
  std::string_view mcc() const { return {text, mcc_size}; }
  std::string_view mnc() const {
    return {text + mcc_size, static_cast<size_t>(key_size - mcc_size - kActSize)};
  }
  std::string_view act() const { return {text + key_size - kActSize, kActSize}; }

  bool empty() const { return key_size == 0; }

  static constexpr size_t kActSize = 4;
  static constexpr size_t kMaxKeySize = 10;

  // The key, zero-padded to its full width so that two records with equal
  // keys compare equal byte for byte.
  char text[kMaxKeySize] = {};
  uint8_t key_size = 0;
  uint8_t mcc_size = 0;
};

// Orders keys by unsigned byte-wise comparison, a key that is a prefix of
// another first.
bool key_less(const plmn& a, const plmn& b);

// The table of records, one per distinct key, a later record replacing an
// earlier one with the same key.
//
// It is an open-addressing hash table holding the records by value; order is
// only needed once, for the listing, so `sorted` sorts the records in place
// then instead of keeping them ordered on every insert.
class plmn_table {
 public:
  plmn_table();

  // Files `record` under its key: inserts it, or replaces the record that has
  // the same key.
  void file(const plmn& record);

  // Number of distinct keys filed.
  size_t size() const { return size_; }

  // The records in ascending key order. Filing again afterwards is allowed;
  // the view is then no longer valid.
  std::span<const plmn> sorted();

 private:
  size_t slot_of(const plmn& record) const;
  void rebuild(size_t capacity);

  std::vector<plmn> slots_;  // capacity is a power of two; free slots are empty()
  size_t size_ = 0;
  int shift_ = 0;           // 64 - log2(capacity): the hash's top bits pick the slot
  uint64_t seed_ = 0;       // varies per run so no input is slow by design
  bool is_sorted_ = false;  // records packed at the front and sorted; no hash index
};

#endif  // PLMN_PLMN_H_
