// Helpers shared by the tests.

#ifndef PLMN_TEST_UTIL_H_
#define PLMN_TEST_UTIL_H_

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <system_error>

#include "plmn.h"

// A folder of its own in the temporary folder, made anew, and removed with
// all it holds when the object goes: test runs, and the tests of one run,
// do not meet.
class temp_folder {
 public:
  temp_folder() {
    static int made = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("plmn_test." + std::to_string(getpid()) + "." + std::to_string(made++));
    std::filesystem::remove_all(path_);  // left by a run that ended early, with the same pid
    std::filesystem::create_directory(path_);
  }
  ~temp_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Writes `contents` into the file `name` in the folder, and returns its path.
  std::filesystem::path file(const std::string& name, std::string_view contents) const;

 private:
  std::filesystem::path path_;
};

inline void write_file(const std::filesystem::path& path, std::string_view contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::filesystem::path temp_folder::file(const std::string& name,
                                               std::string_view contents) const {
  write_file(path_ / name, contents);
  return path_ / name;
}

// What is left to read of `fd`, to its end.
inline std::string read_all(int fd) {
  std::string bytes;
  char block[256];
  for (int n; (n = static_cast<int>(read(fd, block, sizeof block))) > 0;) bytes.append(block, n);
  return bytes;
}

// The table as the tool lists it: one "MCC:MNC:ACT\n" line per record.
inline std::string listing(plmn_table& plmns) {
  std::string text;
  for (const plmn& record : plmns.sorted()) {
    text.append(record.mcc()).append(":").append(record.mnc()).append(":");
    text.append(record.act()).append("\n");
  }
  return text;
}

// Appends code point `c` in UTF-8.
inline void append_utf8(std::string& text, unsigned c) {
  auto add = [&](unsigned bits) { text += static_cast<char>(bits); };
  if (c < 0x80) {
    add(c);
  } else if (c < 0x800) {
    add(0xC0 | c >> 6);
    add(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    add(0xE0 | c >> 12);
    add(0x80 | (c >> 6 & 0x3F));
    add(0x80 | (c & 0x3F));
  } else {
    add(0xF0 | c >> 18);
    add(0x80 | (c >> 12 & 0x3F));
    add(0x80 | (c >> 6 & 0x3F));
    add(0x80 | (c & 0x3F));
  }
}

// The UTF-8 of the UTF-16 `bytes`: U+FFFD for a surrogate that is not half
// of a pair, and for an odd byte at the end (one for a high surrogate and an
// odd byte that end the input together).
inline std::string utf8_of_utf16(std::string_view bytes, bool big_endian) {
  auto unit = [&](size_t n) -> unsigned {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    return big_endian ? byte(2 * n) << 8 | byte(2 * n + 1) : byte(2 * n) | byte(2 * n + 1) << 8;
  };
  auto is_high = [](unsigned u) { return u >= 0xD800 && u <= 0xDBFF; };
  auto is_low = [](unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; };
  bool odd = bytes.size() % 2 == 1;
  size_t units = bytes.size() / 2;
  std::string text;
  for (size_t n = 0; n < units; ++n) {
    unsigned u = unit(n);
    if (is_high(u) && n + 1 < units && is_low(unit(n + 1))) {
      append_utf8(text, 0x10000 + (u - 0xD800) * 0x400 + (unit(n + 1) - 0xDC00));
      ++n;
    } else if (is_high(u) && n + 1 == units && odd) {
      // Cut short by the end: the U+FFFD of the odd byte below stands for both.
    } else {
      append_utf8(text, is_high(u) || is_low(u) ? 0xFFFD : u);
    }
  }
  if (odd) append_utf8(text, 0xFFFD);
  return text;
}

// The listing the rules give for `input`, read the simplest way: the whole
// file in memory, a string per line, a map for the table. A UTF-16 file is
// first made the same text in UTF-8, with its mark.
inline std::string reference_listing(std::string input) {
  if (input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF")) {
    input = "\xEF\xBB\xBF" + utf8_of_utf16(std::string_view(input).substr(2), input[0] == '\xFE');
  }
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
