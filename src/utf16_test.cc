#include "utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace {

std::string bytes_of(const std::u16string& units, bool big_endian) {
  std::string bytes;
  for (char16_t unit : units) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

// Texts where the decoder's ways part: every kind of unit that is not ASCII
// at every place in and after a run of ASCII long enough for the many-at-a-
// time copy, and the most UTF-8 a code unit can give: a 3-byte character
// after a high surrogate that it leaves alone.
std::vector<std::string> texts(bool big_endian) {
  // 40 different characters, so that each must land in its own place.
  std::u16string ascii;
  for (char16_t c = u'0'; c < u'0' + 40; ++c) ascii += c;
  std::vector<std::string> texts;
  for (std::u16string others : {u"\u0080", u"\u00FF", u"\u0100", u"\u7F00", u"\uFFFF",
                                u"\U0001F600", u"\xD800", u"\xDC00"}) {
    for (size_t at = 0; at <= ascii.size(); ++at) {
      std::u16string units = ascii;
      units.insert(at, others);
      texts.push_back(bytes_of(units, big_endian));
    }
  }
  std::u16string unpaired;
  for (int i = 0; i < 20; ++i) unpaired += u"\xD800\u0800";
  texts.push_back(bytes_of(unpaired, big_endian));
  // The end of the input in an odd byte, after a unit or a high surrogate.
  texts.push_back(bytes_of(unpaired, big_endian) + "A");
  texts.push_back(bytes_of(unpaired + u"\xD800", big_endian) + "A");
  return texts;
}

TEST(Utf16Decoder, PiecesOfAnySizeGiveTheTextWithinTheirRoom) {
  for (bool big_endian : {false, true}) {
    for (const std::string& bytes : texts(big_endian)) {
      for (size_t piece = 1; piece <= bytes.size(); ++piece) {
        utf16_decoder decoder(big_endian);
        std::string text;
        for (size_t at = 0; at < bytes.size(); at += piece) {
          std::string_view part = std::string_view(bytes).substr(at, piece);
          std::string out(utf16_decoder::max_output(part.size()), '\0');
          size_t size = decoder.decode(part, out.data());
          ASSERT_LE(size, out.size()) << "pieces of " << piece;
          text.append(out, 0, size);
        }
        char last[8];
        size_t size = decoder.finish(last);
        ASSERT_LE(size, 3u) << "pieces of " << piece;
        text.append(last, size);
        ASSERT_EQ(text, utf8_of_utf16(bytes, big_endian))
            << (big_endian ? "big" : "little") << "-endian, pieces of " << piece;
      }
    }
  }
}

}  // namespace
