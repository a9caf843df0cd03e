#include "plmn.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "test_util.h"

namespace {

plmn make(const std::string& mcc, const std::string& mnc, const std::string& act) {
  std::string key = mcc + mnc + act;
  return plmn(mcc, mnc, act, key);
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

TEST(Plmn, TextsThatMakeNoRecordAreRejected) {
  struct Case {
    const char* name;
    std::string mcc, mnc, act, key;
  };
  const Case cases[] = {
      {"key shorter than the fields", "1", "2", "3456", "123"},
      {"MCC of 1", "3", "45", "0080", "3450080"},
      {"MCC of 4", "3124", "45", "0080", "3124450080"},
      {"MNC of 1", "312", "4", "0080", "3124080"},
      {"MNC of 4", "31", "2450", "0080", "3124500080"},
      {"ACT of 3", "312", "45", "008", "31245008"},
      {"ACT of 5", "31", "24", "00800", "312400800"},
      {"all empty", "", "", "", ""},
      {"key empty", "312", "45", "0080", ""},
      {"key one short", "312", "45", "0080", "31245008"},
      {"key one long", "312", "45", "0080", "3124500800"},
      {"key of other digits", "312", "45", "0080", "312460080"},
      {"key joined in another order", "312", "45", "0080", "453120080"},
      {"key ending in another ACT", "31", "245", "0080", "312450081"},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(plmn(c.mcc, c.mnc, c.act, c.key), std::invalid_argument) << c.name;
  }
}

TEST(PlmnTable, EmptyTableListsNothing) {
  plmn_table plmns;
  EXPECT_EQ(plmns.size(), 0u);
  EXPECT_TRUE(plmns.sorted().empty());
}

TEST(PlmnTable, SameKeyIsOneEntryAndTheLaterRecordWins) {
  plmn_table plmns;
  plmns.file(make("312", "45", "0080"));
  plmns.file(make("312", "45", "0080"));
  EXPECT_EQ(listing(plmns), "312:45:0080\n");
  // Same joined key 312450080, split differently.
  plmns.file(make("31", "245", "0080"));
  EXPECT_EQ(listing(plmns), "31:245:0080\n");
  plmns.file(make("312", "45", "0080"));
  EXPECT_EQ(listing(plmns), "312:45:0080\n");
  EXPECT_EQ(plmns.size(), 1u);
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
      plmns.file(make(it->substr(0, a), it->substr(a + 1, b - a - 1), it->substr(b + 1)));
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
      plmns.file(make(digits.substr(0, 3), digits.substr(3, 2), "0080"));
    }
  }
  ASSERT_EQ(plmns.size(), 20000u);
  auto sorted = plmns.sorted();
  for (size_t i = 1; i < sorted.size(); ++i) EXPECT_TRUE(key_less(sorted[i - 1], sorted[i]));
  // Filing after a listing goes on from the same records.
  plmns.file(make("000", "00", "0080"));
  plmns.file(make("999", "999", "0080"));
  EXPECT_EQ(plmns.size(), 20001u);
  EXPECT_EQ(plmns.sorted().back().key(), "9999990080");
}

}  // namespace
