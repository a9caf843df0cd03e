// Machine words read and written as little-endian bytes, whatever the
// machine's byte order: the decoders rearrange bytes with shifts, and the
// first byte in memory must be the lowest one on every machine.

#ifndef PLMN_LITTLE_ENDIAN_H_
#define PLMN_LITTLE_ENDIAN_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Eight bytes as a number whose lowest byte is the first one.
inline uint64_t load_le64(const void* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// The lowest `size` bytes of `word`, lowest first.
inline void store_le(char* p, uint64_t word, size_t size) {
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  std::memcpy(p, &word, size);
}

#endif  // PLMN_LITTLE_ENDIAN_H_
