#include "reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform.h"
#include "test_util.h"

namespace {

struct Case {
  const char* name;
  std::string file;
  std::string listing;
};

// The text in UTF-16, little-endian or big-endian, after the mark of its
// byte order. (A "\x" escape in the text gives any code unit, a lone
// surrogate too.)
std::string utf16(std::u16string_view text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}
std::string le(std::u16string_view text) { return utf16(text, false); }
std::string be(std::u16string_view text) { return utf16(text, true); }

// The file contents of each case and the listing they must give.
const Case kCases[] = {
    {"empty file", "", ""},
    {"empty lines", "\n\n\r\n\n", ""},
    {"only empty slots", "FFFFFF0000ffffff4000\nFFFFFF0000\n", ""},
    {"LF line ends", "13F2540080\n1332540080\n", "312:45:0080\n312:453:0080\n"},
    {"CR LF line ends", "13F2540080\r\n1332540080\r\n", "312:45:0080\n312:453:0080\n"},
    {"last line without LF", "13F2540080\n1332540080", "312:45:0080\n312:453:0080\n"},
    {"entries do not span lines", "13F25\n40080\n", ""},
    {"CR before LF is not part of the entry", "13F254008\r\n", ""},
    {"only one CR goes with the LF", "13F254008\r\r\n", "312:45:008\r\n"},
    {"CR at the end of the file stays", "13F254008\r", "312:45:008\r\n"},
    {"lone CR after a whole entry is a fragment", "13F2540080\r", "312:45:0080\n"},
    {"CR inside a line shifts it", "13F2540080\r1332540080\n", "1\r3:523:4008\n312:45:0080\n"},
    {"byte-order mark skipped",
     "\xEF\xBB\xBF"
     "13F2540080\r\n",
     "312:45:0080\n"},
    {"byte-order mark alone", "\xEF\xBB\xBF", ""},
    {"byte-order mark later is content",
     "13F2540080\n\xEF\xBB\xBF"
     "1332540080\n",
     "312:45:0080\n\xBB\xEF"
     "1:33\xBF:2540\n"},
    {"part of a byte-order mark is content",
     "\xEF\xBB"
     "13F2540080",
     "\xBB\xEF"
     "3:2F1:5400\n"},
    {"part of a byte-order mark alone", "\xEF\xBB", ""},
    {"Ctrl-Z ends the input", "13F2540080\n1332540080\x1A\n135F420080\n",
     "312:45:0080\n312:453:0080\n"},
    {"Ctrl-Z cuts its line",
     "1332540080\n13F2540080135F42\x1A"
     "0080\n",
     "312:45:0080\n312:453:0080\n"},
    {"Ctrl-Z first",
     "\x1A"
     "13F2540080\n",
     ""},
    {"Ctrl-Z before the byte-order mark ends",
     "\xEF\xBB\x1A\xBF"
     "13F2540080",
     ""},
    {"CR before Ctrl-Z stays", "13F254008\r\x1A\n", "312:45:008\r\n"},
    {"duplicates across lines and case", "13F2540080\n13f2540080\r\n13F2540080", "312:45:0080\n"},
    // A file with a UTF-16 mark lists as the same text in UTF-8 would.
    {"UTF-16LE", le(u"13F2540080\r\n1332540080\r\n"), "312:45:0080\n312:453:0080\n"},
    {"UTF-16BE", be(u"13F2540080\r\n1332540080\r\n"), "312:45:0080\n312:453:0080\n"},
    {"UTF-16 mark alone", le(u""), ""},
    {"UTF-16LE only one CR goes with the LF", le(u"13F254008\r\r\n"), "312:45:008\r\n"},
    {"UTF-16BE CR at the end of the file stays", be(u"13F254008\r"), "312:45:008\r\n"},
    {"UTF-16LE Ctrl-Z ends the input", le(u"13F2540080\n1332540080\x1A\n135F420080\n"),
     "312:45:0080\n312:453:0080\n"},
    {"UTF-16BE Ctrl-Z first",
     be(u"\x1A"
        u"13F2540080\n"),
     ""},
    // U+011A and U+1A00 have a 1A byte, U+0A0D and U+0D0A the bytes of a
    // line end; none of them is a Ctrl-Z or a line end.
    {"UTF-16LE 1A and line end bytes in a character", le(u"\x011A\x0A0D\n13F2540080\n"),
     "312:45:0080\n"},
    {"UTF-16BE 1A and line end bytes in a character", be(u"\x1A00\x0D0A\n13F2540080\n"),
     "312:45:0080\n"},
    {"UTF-16LE non-ASCII characters are their UTF-8 bytes",
     le(u"1332540080\u00E9"
        u"13F25400\n\u1A00"
        u"1332540"),
     "312:453:0080\n\xA8\xE1"
     "1:33\x80:2540\n\xA9\xC3"
     "3:2F1:5400\n"},
    {"UTF-16BE non-ASCII characters are their UTF-8 bytes",
     be(u"1332540080\u00E9"
        u"13F25400\n\u1A00"
        u"1332540"),
     "312:453:0080\n\xA8\xE1"
     "1:33\x80:2540\n\xA9\xC3"
     "3:2F1:5400\n"},
    {"UTF-16LE surrogate pair",
     le(u"\U0001F600"
        u"135F42\n"),
     "\x9F\xF0\x80:31\x98:5F42\n"},
    {"UTF-16BE surrogate pair after a lone high surrogate",
     be(u"\xD800\U0001F600"
        u"135"),
     "\xBF\xEF\xF0:\x98\x9F\xBD:\x80"
     "135\n"},
    {"UTF-16LE lone low surrogate",
     le(u"\xDC00"
        u"13F2540\n"),
     "\xBF\xEF"
     "1:F3\xBD:2540\n"},
    {"UTF-16BE high surrogate before an ASCII unit",
     be(u"\xD800"
        u"13F2540"),
     "\xBF\xEF"
     "1:F3\xBD:2540\n"},
    {"UTF-16LE high surrogate at the end", le(u"1332540\xD800"), "312:453:0\xEF\xBF\xBD\n"},
    {"UTF-16BE odd byte at the end", be(u"1332540") + "A", "312:453:0\xEF\xBF\xBD\n"},
    {"UTF-16LE high surrogate and odd byte at the end are one character",
     le(u"13325400801332\xD800") + "A", "312:453:0080\n"},
    {"UTF-16BE second mark is content",
     be(u"\xFEFF"
        u"13F2540"),
     "\xBB\xEF"
     "1:F3\xBF:2540\n"},
    {"UTF-16LE second mark is content",
     le(u"\xFEFF\xFEFF"
        u"3F25"),
     "\xBB\xEF\xEF:\xBF\xBB\xBF:3F25\n"},
    {"part of a UTF-16LE mark is content",
     "\xFF"
     "13F2540080\n",
     "1\xFF:523:4008\n"},
    {"part of a UTF-16BE mark is content",
     "\xFE\xFE\xFF"
     "3F2540080\n",
     "\xFE\xFE"
     "3:2F\xFF:5400\n"},
    {"part of a UTF-16 mark alone", "\xFF", ""},
    {"Ctrl-Z after part of a UTF-16 mark",
     "\xFF\x1A\xFE"
     "13F2540080\n",
     ""},
};

std::string fed_whole(const std::string& file) {
  plmn_table plmns;
  list_reader reader(plmns);
  reader.feed(file);
  reader.finish();
  return listing(plmns);
}

TEST(ListReader, Files) {
  for (const Case& c : kCases) {
    EXPECT_EQ(fed_whole(c.file), c.listing) << c.name;
    // The differential tests and the fuzzer hold the reader to this reading.
    EXPECT_EQ(reference_listing(c.file), c.listing) << c.name << ", by the reference reading";
  }
}

TEST(ListReader, AnySplitOfTheInputGivesTheSameListing) {
  for (const Case& c : kCases) {
    for (size_t at = 0; at <= c.file.size(); ++at) {
      plmn_table plmns;
      list_reader reader(plmns);
      reader.feed(c.file.substr(0, at));
      reader.feed(c.file.substr(at));
      reader.finish();
      EXPECT_EQ(listing(plmns), c.listing) << c.name << ", split at " << at;
    }
    plmn_table plmns;
    list_reader reader(plmns);
    for (char byte : c.file) reader.feed(std::string(1, byte));
    reader.finish();
    EXPECT_EQ(listing(plmns), c.listing) << c.name << ", byte by byte";
  }
}

TEST(ReadPlmnList, ReadsTheFileInBlocksOfAnySize) {
  temp_folder folder;
  for (const Case& c : kCases) {
    const std::string path = folder.file("list.txt", c.file).string();
    for (size_t block_size : {size_t{1}, size_t{2}, size_t{3}, size_t{9}, size_t{10}, size_t{11},
                              size_t{64}, kDefaultBlockSize}) {
      int fd = open_input(path.c_str());
      ASSERT_GE(fd, 0);
      plmn_table plmns;
      EXPECT_EQ(read_plmn_list(fd, plmns, block_size), 0);
      close(fd);
      EXPECT_EQ(listing(plmns), c.listing) << c.name << ", blocks of " << block_size;
    }
  }
}

TEST(ReadPlmnList, ReportsAFailedRead) {
  temp_folder folder;
  const std::string path = folder.file("list.txt", "13F2540080\n").string();
  int fd = open(path.c_str(), O_WRONLY);  // it opens, but reading it fails
  ASSERT_GE(fd, 0);
  plmn_table plmns;
  EXPECT_EQ(read_plmn_list(fd, plmns), EBADF);
  close(fd);
}

}  // namespace
