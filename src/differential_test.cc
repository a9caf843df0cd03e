// Checks the reader, decoder and table against a plainly written reference
// on many seeded random inputs, fed in pieces of random sizes so that lines,
// entries, CR LF pairs, byte-order marks and UTF-16 code units straddle the
// block boundaries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "reader.h"
#include "test_util.h"

namespace {

// Random PLMN list text: mostly entries, with everything a real or damaged
// file may hold in between.
std::string random_input(std::mt19937& random, size_t tokens) {
  // A small pool, so entries repeat, including two that share a key.
  static const char* const kEntries[] = {
      "13F2540080", "135F420080", "1332540080", "42F6184000", "130014C080", "13f2540080",
      "13Ff540080", "62F210C880", "62F2204000", "21F3540080", "13F254FfA0", "0000000000",
  };
  static const char* const kOthers[] = {
      "FFFFFF0000", "ffffff4000", "fFfFfF1234",   "\r\n",  "\n",     "\r",   " ",
      ",",          "\t",         "\xEF\xBB\xBF", "13F25", "FFFFFF", "\n\n", "\r\r\n",
  };
  // Starts that are part of a byte-order mark, of UTF-8 or UTF-16.
  static const char* const kPartialMarks[] = {"\xEF", "\xEF\xBB", "\xFF", "\xFE", "\xFE\xFE"};
  std::string text;
  if (random() % 8 == 0) {
    text += "\xEF\xBB\xBF";
  } else if (random() % 16 == 0) {
    text += kPartialMarks[random() % std::size(kPartialMarks)];
  }
  for (size_t i = 0; i < tokens; ++i) {
    unsigned pick = random() % 100;
    if (pick < 55) {
      text += kEntries[random() % std::size(kEntries)];
    } else if (pick < 90) {
      text += kOthers[random() % std::size(kOthers)];
    } else if (pick < 99) {
      text += static_cast<char>(random() % 256);  // any byte at all
    } else {
      text += '\x1A';
    }
  }
  return text;
}

// Random text in UTF-16 code units: that of `random_input`, a unit a byte,
// with other units among it: characters of 2 and 3 bytes in UTF-8, U+FEFF,
// units with the byte of a Ctrl-Z or a line end, surrogate pairs, and
// surrogates alone.
std::u16string random_units(std::mt19937& random, size_t tokens) {
  static const char16_t kUnits[] = {
      0x00E9, 0x0080, 0x07FF, 0x0800, 0xFEFF, 0xFFFD, 0xFFFF, 0x011A, 0x1A00,
      0x0A0D, 0x0D0A, 0x0A00, 0x1A1A, 0xD800, 0xDBFF, 0xDC00, 0xDFFF,
  };
  std::u16string units;
  if (random() % 8 == 0) units += u'\xFEFF';  // a second mark
  for (size_t i = 0; i < tokens; ++i) {
    unsigned pick = random() % 100;
    if (pick < 80) {
      for (char byte : random_input(random, 1)) units += static_cast<unsigned char>(byte);
    } else if (pick < 90) {
      units += kUnits[random() % std::size(kUnits)];
    } else if (pick < 95) {
      units += static_cast<char16_t>(0xD800 + random() % 0x400);
      units += static_cast<char16_t>(0xDC00 + random() % 0x400);
    } else {
      units += static_cast<char16_t>(random());
    }
  }
  return units;
}

// `units` as a UTF-16 file of a random byte order, with its mark, and now
// and then an odd byte at the end.
std::string utf16_file(const std::u16string& units, std::mt19937& random) {
  bool big_endian = random() % 2 == 0;
  std::string file = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : units) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit);
    file += big_endian ? high : low;
    file += big_endian ? low : high;
  }
  if (random() % 8 == 0) file += static_cast<char>(random());
  return file;
}

std::string listing_in_pieces(const std::string& input, std::mt19937& random, size_t max_piece) {
  plmn_table plmns;
  list_reader reader(plmns);
  for (size_t at = 0; at < input.size();) {
    size_t piece = 1 + random() % max_piece;
    reader.feed(std::string_view(input).substr(at, piece));
    at += piece;
  }
  reader.finish();
  return listing(plmns);
}

TEST(Differential, RandomInputsInRandomPieces) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 3000; ++round) {
    size_t tokens = 1 + random() % 200;
    std::string input = round % 3 == 0 ? utf16_file(random_units(random, tokens), random)
                                       : random_input(random, tokens);
    std::string expected = reference_listing(input);
    for (size_t max_piece : {size_t{1}, size_t{7}, size_t{64}, input.size() + 1}) {
      ASSERT_EQ(listing_in_pieces(input, random, max_piece), expected)
          << "round " << round << ", pieces up to " << max_piece;
    }
  }
}

TEST(Differential, EntriesThatDifferOnlyInTheirLastTwoCharacters) {
  // A few entries that share their first 8 characters, given twice in two
  // orders: the table remembers entries by their text, and an entry must not
  // be taken for an earlier one that shares all but its last 2 characters.
  // Such entries meet in one memo slot in about one list in five.
  std::mt19937 random(31102);
  const std::string hex = "0123456789ABCDEFabcdef";
  auto pick = [&] { return hex[random() % hex.size()]; };
  for (int round = 0; round < 1000; ++round) {
    std::string head;
    for (int i = 0; i < 8; ++i) head += pick();
    std::vector<std::string> entries(2 + random() % 15, head);
    for (std::string& entry : entries) entry += {pick(), pick()};
    std::string input;
    for (int pass = 0; pass < 2; ++pass) {
      std::shuffle(entries.begin(), entries.end(), random);
      for (const std::string& entry : entries) input += entry;
      input += "\n";
    }
    ASSERT_EQ(listing_in_pieces(input, random, input.size()), reference_listing(input))
        << "round " << round << ": " << input;
  }
}

TEST(Differential, LongLinesAcrossReadBlocks) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    // Few line ends and no Ctrl-Z, so lines run over many blocks; every
    // other round in UTF-16, and one in two of those with a Ctrl-Z late in
    // the file, which ends the input within a block and a chunk of UTF-16.
    std::string input;
    if (round % 2 == 0) {
      while (input.size() < 200000) {
        input += random() % 500 == 0 ? std::string("\r\n") : random_input(random, 1);
        if (input.back() == '\x1A') input.pop_back();
      }
    } else {
      std::u16string units;
      while (units.size() < 100000) {
        std::u16string token = random() % 500 == 0 ? u"\r\n" : random_units(random, 1);
        std::erase(token, u'\x1A');
        units += token;
      }
      if (round % 4 == 3) units.insert(units.size() * 3 / 4, 1, u'\x1A');
      input = utf16_file(units, random);
    }
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fwrite(input.data(), 1, input.size(), file);
    std::fflush(file);
    for (size_t block_size : {size_t{13}, size_t{4096}, kDefaultBlockSize}) {
      std::rewind(file);
      plmn_table plmns;
      ASSERT_EQ(read_plmn_list(fileno(file), plmns, block_size), 0);
      EXPECT_EQ(listing(plmns), reference_listing(input))
          << "round " << round << ", blocks of " << block_size;
    }
    std::fclose(file);
  }
}

}  // namespace
