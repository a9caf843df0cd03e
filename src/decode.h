// Decoding of PLMN list text into records.

#ifndef PLMN_DECODE_H_
#define PLMN_DECODE_H_

#include <cstddef>
#include <string_view>

#include "plmn.h"

// Characters per entry: a 3-byte PLMN identity and a 2-byte access
// technology field, two hexadecimal characters a byte.
constexpr size_t kEntrySize = 10;

// Decodes the entries of `line` (or of a piece of one that starts at an entry
// boundary) and files one record per entry that is not an empty slot in
// `plmns`. Entries are taken at offsets 0, 10, 20, ...; the 1 to 9 characters
// after the last whole entry yield nothing.
void decode_line(std::string_view line, plmn_table& plmns);

#endif  // PLMN_DECODE_H_
