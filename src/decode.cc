#include "decode.h"

#include <cstdint>
#include <cstring>

namespace {

// 'F' and 'f' alike: hex dumps come in both cases, and the filler and the
// empty slot mean the same in either.
bool is_filler(char c) { return (static_cast<unsigned char>(c) | 0x20) == 'f'; }

// An empty slot is one whose PLMN identity (the first six characters) is all
// filler; its access technology characters do not matter.
bool is_empty_slot(const char* entry) {
  uint64_t word;
  std::memcpy(&word, entry, sizeof word);  // within the 10-character entry
  uint64_t identity = 0;
  for (int i = 0; i < 6; ++i) identity |= uint64_t{0x20} << (8 * i);
  uint64_t fillers = 0;
  for (int i = 0; i < 6; ++i) fillers |= uint64_t{'f'} << (8 * i);
  constexpr uint64_t kSixBytes = (uint64_t{1} << 48) - 1;
  return ((word | identity) & kSixBytes) == fillers;
}

// Decodes the entry at `e`. The identity is three bytes of swapped BCD
// digits, each byte written high nibble first:
//   e[0] e[1]  MCC digit 2, MCC digit 1
//   e[2] e[3]  MNC digit 3 (filler for a 2-digit MNC), MCC digit 3
//   e[4] e[5]  MNC digit 2, MNC digit 1
// and e[6..9] is the access technology, copied as it stands.
plmn decode_entry(const char* e) {
  size_t mcc_size = is_filler(e[3]) ? 2 : 3;
  size_t mnc_size = is_filler(e[2]) ? 2 : 3;
  // Built without branches: a digit that is left out is written and then
  // overwritten by the next one.
  char key[plmn::kMaxKeySize + 1] = {};
  key[0] = e[1];
  key[1] = e[0];
  key[2] = e[3];
  size_t n = mcc_size;
  key[n] = e[5];
  key[n + 1] = e[4];
  key[n + 2] = e[2];
  n += mnc_size;
  std::memcpy(key + n, e + 6, plmn::kActSize);
  std::string_view text(key, n + plmn::kActSize);
  return plmn(text.substr(0, mcc_size), text.substr(mcc_size, mnc_size),
              text.substr(n, plmn::kActSize), text);
}

}  // namespace

void decode_line(std::string_view line, plmn_table& plmns) {
  const char* p = line.data();
  for (size_t left = line.size(); left >= kEntrySize; left -= kEntrySize, p += kEntrySize) {
    if (!is_empty_slot(p)) plmns.file(decode_entry(p));
  }
}
