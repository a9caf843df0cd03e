#include "utf16.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "little_endian.h"

namespace {

constexpr unsigned kReplacement = 0xFFFD;

bool is_high_surrogate(unsigned unit) { return (unit & 0xFC00) == 0xD800; }
bool is_low_surrogate(unsigned unit) { return (unit & 0xFC00) == 0xDC00; }

template <bool kBigEndian>
unsigned load_unit(const unsigned char* p) {
  return kBigEndian ? p[0] << 8 | p[1] : p[0] | p[1] << 8;
}

char* put_utf8(uint32_t c, char* out) {
  auto byte = [](uint32_t bits) { return static_cast<char>(bits); };
  if (c < 0x80) {
    *out++ = byte(c);
  } else if (c < 0x800) {
    *out++ = byte(0xC0 | c >> 6);
    *out++ = byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = byte(0xE0 | c >> 12);
    *out++ = byte(0x80 | (c >> 6 & 0x3F));
    *out++ = byte(0x80 | (c & 0x3F));
  } else {
    *out++ = byte(0xF0 | c >> 18);
    *out++ = byte(0x80 | (c >> 12 & 0x3F));
    *out++ = byte(0x80 | (c >> 6 & 0x3F));
    *out++ = byte(0x80 | (c & 0x3F));
  }
  return out;
}

// Copies the run of code units below 0x80 at the start of [p, end) to `out`,
// a byte each, many at a time: nearly all of a real list is such a run. It
// may stop a few units short of the run's end; the caller takes those one
// by one. Returns where it stopped, and moves `out` past what it wrote.
template <bool kBigEndian>
const unsigned char* copy_ascii(const unsigned char* p, const unsigned char* end, char*& out) {
  // The bits that a unit below 0x80 has clear, in the unit read as a 16-bit
  // little-endian word: all of its high byte and the top bit of its low one,
  // which the file's byte order puts at one end of the word or the other.
  constexpr uint16_t kNotAscii = kBigEndian ? 0x80FF : 0xFF80;
#if defined(__SSE2__)
  // 16 units at a time, packed to bytes once all are known to be ASCII.
  const __m128i not_ascii = _mm_set1_epi16(static_cast<int16_t>(kNotAscii));
  while (end - p >= 32) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    __m128i stray = _mm_and_si128(_mm_or_si128(a, b), not_ascii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(stray, _mm_setzero_si128())) != 0xFFFF) break;
    if constexpr (kBigEndian) {
      a = _mm_srli_epi16(a, 8);
      b = _mm_srli_epi16(b, 8);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(a, b));
    p += 32;
    out += 16;
  }
#endif
  // 4 units at a time, in a 64-bit word, on any machine.
  constexpr uint64_t kNotAscii4 = kNotAscii * 0x0001'0001'0001'0001ULL;
  while (end - p >= 8) {
    uint64_t word = load_le64(p);
    if ((word & kNotAscii4) != 0) break;
    if constexpr (kBigEndian) word >>= 8;  // each character to the low byte of its unit
    // The four characters, at bytes 0, 2, 4 and 6, gathered into bytes 0 to 3.
    word = (word | word >> 8) & 0x0000'FFFF'0000'FFFFULL;
    store_le(out, word | word >> 16, 4);
    p += 8;
    out += 4;
  }
  return p;
}

}  // namespace

size_t utf16_decoder::decode(std::string_view bytes, char* out) {
  return big_endian_ ? decode_as<true>(bytes, out) : decode_as<false>(bytes, out);
}

template <bool kBigEndian>
size_t utf16_decoder::decode_as(std::string_view bytes, char* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* end = p + bytes.size();
  char* start = out;
  if (has_odd_byte_ && p != end) {
    const unsigned char unit[2] = {odd_byte_, *p++};
    has_odd_byte_ = false;
    out = put_unit(load_unit<kBigEndian>(unit), out);
  }
  while (end - p >= 2) {
    // A high surrogate waiting for its low one is followed by one unit at a
    // time, so that an ASCII unit after it turns it into U+FFFD.
    if (high_ == 0) {
      p = copy_ascii<kBigEndian>(p, end, out);
      if (end - p < 2) break;
    }
    out = put_unit(load_unit<kBigEndian>(p), out);
    p += 2;
  }
  if (p != end) {
    odd_byte_ = *p;
    has_odd_byte_ = true;
  }
  return out - start;
}

char* utf16_decoder::put_unit(unsigned unit, char* out) {
  if (high_ != 0) {
    unsigned high = high_;
    high_ = 0;
    if (is_low_surrogate(unit)) {
      return put_utf8(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), out);
    }
    out = put_utf8(kReplacement, out);  // the high surrogate stands alone
  }
  if (is_high_surrogate(unit)) {
    high_ = unit;
    return out;
  }
  return put_utf8(is_low_surrogate(unit) ? kReplacement : unit, out);
}

size_t utf16_decoder::finish(char* out) {
  bool cut_short = high_ != 0 || has_odd_byte_;
  high_ = 0;
  has_odd_byte_ = false;
  return cut_short ? put_utf8(kReplacement, out) - out : 0;
}
