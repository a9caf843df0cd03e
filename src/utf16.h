// Decoding of UTF-16 text, in either byte order, into UTF-8.

#ifndef PLMN_UTF16_H_
#define PLMN_UTF16_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

// Turns UTF-16 bytes, given in pieces of any size, into UTF-8. A code unit
// or a surrogate pair may straddle two pieces: the decoder keeps the odd
// byte and the high surrogate that a piece leaves over for the next one.
// What is not a character becomes U+FFFD, as common decoders have it: an
// unpaired surrogate (a high one not followed by a low one, or a lone low
// one), and a last odd byte of the input.
class utf16_decoder {
 public:
  explicit utf16_decoder(bool big_endian) : big_endian_(big_endian) {}

  // The most bytes of UTF-8 that `decode` writes for `size` bytes of UTF-16,
  // whatever was left over before them: 3 for each code unit they complete,
  // and 3 for a high surrogate left over that they show to be unpaired.
  static constexpr size_t max_output(size_t size) { return 3 * ((size + 1) / 2) + 3; }

  // Decodes the next bytes of the input into `out`, which has room for
  // `max_output(bytes.size())` bytes. Returns the number of bytes written.
  size_t decode(std::string_view bytes, char* out);

  // Ends the input. Writes U+FFFD into `out` (which has room for 3 bytes)
  // if the input ended in a high surrogate or an odd byte, or both (a pair
  // cut short is one character gone), and returns the number of bytes
  // written.
  size_t finish(char* out);

 private:
  template <bool kBigEndian>
  size_t decode_as(std::string_view bytes, char* out);
  char* put_unit(unsigned unit, char* out);

  bool big_endian_;
  bool has_odd_byte_ = false;
  unsigned char odd_byte_ = 0;  // the first byte of a code unit still to be completed
  unsigned high_ = 0;           // a high surrogate waiting for its low one, or 0
};

#endif  // PLMN_UTF16_H_
