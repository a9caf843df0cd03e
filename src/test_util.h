// Helpers shared by the unit tests.

#ifndef PLMN_TEST_UTIL_H_
#define PLMN_TEST_UTIL_H_

#include <algorithm>
#include <map>
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

// The listing the rules give for `input`, read the simplest way: the whole
// file in memory, a string per line, a map for the table.
inline std::string reference_listing(std::string input) {
  if (size_t z = input.find('\x1A'); z != std::string::npos) input.resize(z);
  if (input.starts_with("\xEF\xBB\xBF")) input.erase(0, 3);
  auto is_f = [](char c) { return c == 'F' || c == 'f'; };
  std::map<std::string, std::string> lines_by_key;
  for (size_t start = 0; start < input.size();) {
    size_t end = input.find('\n', start);
    std::string line = input.substr(start, end == std::string::npos ? end : end - start);
    if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    start = end == std::string::npos ? input.size() : end + 1;
    for (size_t p = 0; p + 10 <= line.size(); p += 10) {
      std::string e = line.substr(p, 10);
      if (std::all_of(e.begin(), e.begin() + 6, is_f)) continue;
      std::string mcc = {e[1], e[0]}, mnc = {e[5], e[4]}, act = e.substr(6);
      if (!is_f(e[3])) mcc += e[3];
      if (!is_f(e[2])) mnc += e[2];
      lines_by_key[mcc + mnc + act] = mcc + ":" + mnc + ":" + act + "\n";
    }
  }
  std::string listing;
  for (const auto& [key, line] : lines_by_key) listing += line;
  return listing;
}

#endif  // PLMN_TEST_UTIL_H_
