// Helpers shared by the unit tests.

#ifndef PLMN_TEST_UTIL_H_
#define PLMN_TEST_UTIL_H_

#include <string>

#include "plmn.h"

// The table as the tool lists it: one "MCC:MNC:ACT\n" line per record.
inline std::string listing(plmn_table& plmns) {
  std::string text;
  for (const plmn& record : plmns.sorted()) {
    text.append(record.mcc()).append(":").append(record.mnc()).append(":");
    text.append(record.act()).append("\n");
  }
  return text;
}

#endif  // PLMN_TEST_UTIL_H_
