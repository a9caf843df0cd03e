#include "plmn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "test_util.h"

namespace {

// The record of the three fields: an MCC and an MNC of 2 or 3 characters,
// an ACT of 4.
plmn make(const std::string& mcc, const std::string& mnc, const std::string& act) {
  std::string key = mcc + mnc + act;
  plmn record;
  EXPECT_LE(key.size(), sizeof record.text) << key;
  key.resize(std::min(key.size(), sizeof record.text));
  std::memcpy(record.text, key.data(), key.size());
  record.key_size = static_cast<uint8_t>(key.size());
  record.mcc_size = static_cast<uint8_t>(mcc.size());
  return record;
}

// Files `record` in `plmns` as the decoder does, as what an entry text
// decodes to. Each text is one never given before in this run, a count,
// so that the table decodes it rather than take it for one it has seen.
void file(plmn_table& plmns, const plmn& record) {
  static uint64_t count = 0;
  char entry[10] = {};  // an entry's 10 characters
  ++count;
  std::memcpy(entry, &count, sizeof count);
  plmns.file_entry(entry, [&](const char*) { return record; });
}

TEST(Plmn, FieldsReadBackAsGiven) {
  struct Case {
    std::string mcc, mnc, act;
  };
  const Case cases[] = {
      {"312", "45", "0080"},
      {"312", "453", "8000"},
      {"31", "245", "0080"},
      {"31", "24", "FFFF"},
      {"f\x01", std::string("\xff\0", 2), "a b\t"},
  };
  for (const Case& c : cases) {
    plmn record = make(c.mcc, c.mnc, c.act);
    EXPECT_EQ(record.mcc(), c.mcc);
    EXPECT_EQ(record.mnc(), c.mnc);
    EXPECT_EQ(record.act(), c.act);
    EXPECT_EQ(record.key(), c.mcc + c.mnc + c.act);
  }
  const plmn empty;
  EXPECT_EQ(empty.mcc(), "");
  EXPECT_EQ(empty.mnc(), "");
  EXPECT_EQ(empty.act(), "");
  EXPECT_EQ(empty.key(), "");
}

TEST(PlmnTable, EmptyTableListsNothing) {
  plmn_table plmns;
  EXPECT_TRUE(plmns.sorted().empty());
}

TEST(PlmnTable, SameKeyIsOneEntryAndTheLaterRecordWins) {
  plmn_table plmns;
  file(plmns, make("312", "45", "0080"));
  file(plmns, make("312", "45", "0080"));
  EXPECT_EQ(listing(plmns), "312:45:0080\n");
  // Same joined key 312450080, split differently.
  file(plmns, make("31", "245", "0080"));
  EXPECT_EQ(listing(plmns), "31:245:0080\n");
  file(plmns, make("312", "45", "0080"));
  EXPECT_EQ(listing(plmns), "312:45:0080\n");
  EXPECT_EQ(plmns.sorted().size(), 1u);
}

TEST(PlmnTable, OrderIsUnsignedByteWiseWithPrefixesFirst) {
  // Each list is in the order the listing must give, filed here reversed.
  const std::vector<std::vector<std::string>> orders = {
      // A key that is a prefix of another comes first: 312450080 < 3124500800.
      {"312:45:0080", "312:450:0800"},
      // Otherwise the first differing character decides, whatever the lengths.
      {"312:453:0080", "312:46:0080"},
      {"000:00:0000", "999:99:9999", "AAA:AA:AAAA", "aaa:aa:aaaa"},
      // Bytes compare unsigned: 0x80 and above after ASCII.
      {"31:24:0080", "31:24:008~", "31:24:008\x80", "31:24:008\xff"},
      // Zero bytes: a key padded with them still sorts after its prefix.
      {"12:34:5678", std::string("12:345:678\0", 11)},
  };
  for (const auto& order : orders) {
    plmn_table plmns;
    std::string expected;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      size_t a = it->find(':'), b = it->find(':', a + 1);
      file(plmns, make(it->substr(0, a), it->substr(a + 1, b - a - 1), it->substr(b + 1)));
    }
    for (const std::string& line : order) expected += line + "\n";
    EXPECT_EQ(listing(plmns), expected);
  }
}

TEST(PlmnTable, ManyKeysGrowTheTableAndStaySorted) {
  plmn_table plmns;
  // Filed twice, in an order unrelated to the key order.
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 20000; ++i) {
      int n = (i * 7919) % 20000;
      std::string digits = std::to_string(100000 + n).substr(1);  // five digits
      file(plmns, make(digits.substr(0, 3), digits.substr(3, 2), "0080"));
    }
  }
  ASSERT_EQ(plmns.sorted().size(), 20000u);
  auto sorted = plmns.sorted();
  for (size_t i = 1; i < sorted.size(); ++i) EXPECT_TRUE(key_less(sorted[i - 1], sorted[i]));
  // Filing after a listing goes on from the same records.
  file(plmns, make("000", "00", "0080"));
  file(plmns, make("999", "999", "0080"));
  EXPECT_EQ(plmns.sorted().size(), 20001u);
  EXPECT_EQ(plmns.sorted().back().key(), "9999990080");
}

}  // namespace
