#include "decode.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace {

struct Case {
  const char* name;
  std::string line;
  std::string listing;
};

std::string decoded(const std::string& line) {
  plmn_table plmns;
  decode_line(line, plmns);
  return listing(plmns);
}

TEST(DecodeLine, Entries) {
  const Case cases[] = {
      {"empty line", "", ""},
      {"two-digit MNC", "13F2540080", "312:45:0080\n"},
      {"three-digit MNC", "1332540080", "312:453:0080\n"},
      {"two-digit MCC", "135F420080", "31:245:0080\n"},
      {"both fillers", "13FF540080", "31:45:0080\n"},
      {"from the standard", "42F6184000", "246:81:4000\n"},
      {"three digits each", "1300144000", "310:410:4000\n"},
      {"act copied as it stands", "13F254FfA0", "312:45:FfA0\n"},
      {"lower-case filler", "13f2540080", "312:45:0080\n"},
      {"lower-case filler at offset 3", "13Ff540080", "31:45:0080\n"},
      {"other lower case kept", "13f25400a0", "312:45:00a0\n"},
      {"non-hex characters kept", "x y\x01\xff\x80:;\t!", " x\x01:\x80\xffy::;\t!\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(decoded(c.line), c.listing) << c.name;
}

TEST(DecodeLine, EmptySlots) {
  const Case cases[] = {
      {"upper case", "FFFFFF0000", ""},
      {"act does not matter", "FFFFFF4000", ""},
      {"lower case", "ffffff0000", ""},
      {"mixed case", "fFfFfF1234", ""},
      {"empty then used", "FFFFFF000013F2540080", "312:45:0080\n"},
      {"used then empty", "13F2540080FFFFFF0000", "312:45:0080\n"},
      {"five fillers are not empty", "FFFFF00000", "FF:0F:0000\n"},
      {"filler-like but not F", "FFFFFE0000", "FF:EF:0000\n"},
      {"F with bit 5 set elsewhere", "FFFFFv0000", "FF:vF:0000\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(decoded(c.line), c.listing) << c.name;
}

TEST(DecodeLine, PositionsAndFragments) {
  const Case cases[] = {
      {"fragment of 9 yields nothing", "13F254008", ""},
      {"fragment of 1 after an entry", "13F25400801", "312:45:0080\n"},
      {"fragment of 9 after an entry", "13F2540080133254008", "312:45:0080\n"},
      {"fragment of six fillers", "13F2540080FFFFFF", "312:45:0080\n"},
      {"separator shifts what follows", "13F2540080 1332540080",
       // " 133254008" then the fragment "0".
       "1 3:523:4008\n312:45:0080\n"},
      {"byte-order mark shifts the line",
       "\xEF\xBB\xBF"
       "13F2540080",
       "\xBB\xEF"
       "1:F3\xBF:2540\n"},
      {"same entry twice is listed once", "13F254008013F2540080", "312:45:0080\n"},
      {"order of the listing",
       "1332540080"
       "13F2540080",
       "312:45:0080\n312:453:0080\n"},
      {"same key, later split wins", "13F2540080135F420080", "31:245:0080\n"},
      {"same key, other order", "135F42008013F2540080", "312:45:0080\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(decoded(c.line), c.listing) << c.name;
}

// An entry text seen again must still win over a different text with the
// same key that came in between, on one line or across lines.
TEST(DecodeLine, RepeatedTextStillWinsOverTheSameKeySplitOtherwise) {
  plmn_table plmns;
  decode_line("13F2540080135F42008013F2540080", plmns);
  EXPECT_EQ(listing(plmns), "312:45:0080\n");
  decode_line("135F420080", plmns);
  EXPECT_EQ(listing(plmns), "31:245:0080\n");
  decode_line("13F2540080", plmns);
  decode_line("13f2540080", plmns);
  decode_line("135F420080", plmns);
  EXPECT_EQ(listing(plmns), "31:245:0080\n");
}

TEST(DecodeLine, ManyDistinctEntriesGrowTheTable) {
  // 100,000 keys on one line, then the same line again: every key once.
  std::string line;
  for (int i = 0; i < 100000; ++i) {
    std::string digits = std::to_string(1000000 + i);  // "1" and six digits
    line += digits.substr(1, 6) + "0080";
  }
  plmn_table plmns;
  decode_line(line, plmns);
  decode_line(line, plmns);
  EXPECT_EQ(plmns.sorted().size(), 100000u);
  std::string text = listing(plmns);
  EXPECT_EQ(text.substr(0, 13), "000:000:0080\n");
  EXPECT_EQ(text.substr(text.size() - 13), "909:999:0080\n");  // from 0999990080
}

}  // namespace
