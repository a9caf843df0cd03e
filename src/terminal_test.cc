#include "terminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "test_util.h"

namespace {

// `text` as a terminal that is `shown` is shown it, run by run.
std::string as_shown(std::string_view text, terminal shown) {
  std::string out;
  for (shown_run run; !text.empty(); text.remove_prefix(run.as_it_stands + run.hidden)) {
    run = first_run(text, shown);
    if (run.as_it_stands + run.hidden > text.size()) {
      ADD_FAILURE() << "a run past the end of the text: a character read from what follows it";
      break;
    }
    out.append(text.substr(0, run.as_it_stands));
    if (run.hidden > 0) out += '?';
  }
  return out;
}

// `text` as a terminal taken to show ASCII alone is shown it.
std::string as_ascii(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    if (c < 0x20 || c > 0x7E) c = '?';  // char may be signed: bytes from 80 are below 0
  }
  return shown;
}

std::string utf8(char32_t code) {
  std::string text;
  append_utf8(text, code);
  return text;
}

std::string code_point(char32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
  return text;
}

// Code points, and whether a terminal that takes UTF-8 shows them: the
// controls at each of their edges; the soft hyphen, a right-to-left
// override, a tag and a variation selector, of the characters that hide or
// reorder text; é ¬ ‐ € U+D7FF U+E000 U+FFFD, an emoji and the last, of
// the printable characters of every size. One by one, and all at once: runs
// of characters shown as they stand, broken by others. Which characters
// hide text is Unicode's to say: the test below checks every one of them.
TEST(TerminalRule, ATerminalIsShownPrintableCharactersAlone) {
  const std::pair<char32_t, bool> cases[] = {
      {0x00, false},    {0x1F, false},  {0x20, true},   {0x7E, true},    {0x7F, false},
      {0x9F, false},    {0xA0, true},   {0xAD, false},  {0x202E, false}, {0xE0041, false},
      {0xE0100, false}, {0xE9, true},   {0xAC, true},   {0x2010, true},  {0x20AC, true},
      {0xD7FF, true},   {0xE000, true}, {0xFFFD, true}, {0x1F4F6, true}, {0x10FFFF, true},
  };
  std::string all, all_shown;
  for (auto [code, shown] : cases) {
    std::string text = utf8(code);
    std::string expected = shown ? text : "?";
    EXPECT_EQ(as_shown(text, terminal::utf8), expected) << code_point(code);
    EXPECT_EQ(as_shown(text, terminal::ascii), as_ascii(text)) << code_point(code);
    all += text;
    all_shown += expected;
  }
  EXPECT_EQ(as_shown(all, terminal::utf8), all_shown);
  EXPECT_EQ(as_shown(all, terminal::ascii), as_ascii(all));
}

// Byte sequences at each edge of well-formed UTF-8. A terminal that takes
// UTF-8 is shown one "?" for each byte that is not part of a well-formed
// character, and one for each control. Each text is a view into a longer
// buffer that goes on with continuation bytes, as a field of a record is
// followed by the next field: a character cut short at the end of the text
// must not be completed from what follows it.
TEST(TerminalRule, ATerminalIsShownWellFormedUtf8Alone) {
  struct Case {
    const char* name;
    std::string text, shown;
  };
  const Case cases[] = {
      {"lead C1, overlong", "\xC1\xBF", "??"},
      {"lead C2", "\xC2\xA9", "\xC2\xA9"},
      {"lead DF", "\xDF\xBF-", "\xDF\xBF-"},
      {"lead E0 with 9F, overlong", "\xE0\x9F\xBF", "???"},
      {"lead E0 with A0", "\xE0\xA0\x80", "\xE0\xA0\x80"},
      {"lead ED with 9F", "\xED\x9F\xBF", "\xED\x9F\xBF"},
      {"lead ED with A0, a surrogate", "\xED\xA0\x80", "???"},
      {"lead F0 with 8F, overlong", "\xF0\x8F\xBF\xBF", "????"},
      {"lead F0 with 90", "\xF0\x90\x80\x80", "\xF0\x90\x80\x80"},
      {"lead F4 with 8F", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"lead F4 with 90, past U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"lead F5", "\xF5\x80\x80\x80", "????"},
      {"lead F7", "\xF7\xBF\xBF\xBF", "????"},
      {"lead FF", "\xFF", "?"},
      {"a stray continuation byte", "\x80-\xBF", "?-?"},
      {"a 3-byte character, then ASCII",
       "\xE2\x82\xAC"
       "A",
       "\xE2\x82\xAC"
       "A"},
      {"a 4-byte character, then ASCII",
       "\xF0\x9F\x93\xB6"
       "A",
       "\xF0\x9F\x93\xB6"
       "A"},
      {"a third byte that is not a continuation", "\xE2\x82\x1B[2J", "???[2J"},
      {"a fourth byte that is not a continuation", "\xF0\x9F\x93\x1B[2J", "????[2J"},
      {"a second byte that is not a continuation", "\xC3(", "?("},
      // C0 to FF have the top bit of a continuation byte, but not the next.
      {"a third byte that starts a character", "\xE2\x82\xC3\xA9", "??\xC3\xA9"},
      {"a third byte FF", "\xE2\x82\xFF", "???"},
      {"a fourth byte that starts a character", "\xF0\x9F\x93\xC3\xA9", "???\xC3\xA9"},
      {"a fourth byte FF", "\xF0\x9F\x93\xFF", "????"},
      {"2 bytes of 3, at the end", "A\xE2\x82", "A??"},
      {"3 bytes of 4, at the end", "A\xF0\x9F\x93", "A???"},
      {"1 byte of 2, at the end", "A\xC3", "A?"},
      {"C1 CSI inside UTF-8 text",
       "\xC4\x9B\xC2\x9B"
       "2J",
       "\xC4\x9B?2J"},
  };
  for (const Case& c : cases) {
    const std::string buffer = c.text + "\x80\xBF\x80";
    std::string_view text = std::string_view(buffer).substr(0, c.text.size());
    EXPECT_EQ(as_shown(text, terminal::utf8), c.shown) << c.name;
    EXPECT_EQ(as_shown(text, terminal::ascii), as_ascii(c.text)) << c.name;
  }
}

// Unicode's data files, where they are installed (Debian: unicode-data).
const std::filesystem::path kUnicodeDir = PLMN_UNICODE_DIR;
constexpr char32_t kCodePoints = 0x110000;

// Marks in `set` the characters whose general category, as the file
// UnicodeData.txt gives it, is one of `categories`. The file gives most
// characters a line each, "CODE;NAME;CATEGORY;...", and a range of them in
// two lines, the first named "<..., First>" and the last "<..., Last>".
void add_categories(std::initializer_list<std::string_view> categories, std::vector<bool>& set) {
  std::ifstream data(kUnicodeDir / "UnicodeData.txt");
  char32_t first = 0;
  for (std::string line; std::getline(data, line);) {
    size_t name_end = line.find(';', line.find(';') + 1);
    std::string_view name = std::string_view(line).substr(0, name_end);
    std::string_view category = std::string_view(line).substr(name_end + 1, 2);
    auto code = static_cast<char32_t>(std::stoul(line, nullptr, 16));
    if (name.ends_with(", First>")) {
      first = code;
      continue;
    }
    if (!name.ends_with(", Last>")) first = code;
    if (std::find(categories.begin(), categories.end(), category) == categories.end()) continue;
    for (char32_t c = first; c <= code; ++c) set[c] = true;
  }
}

// Marks in `set` the code points that the file DerivedCoreProperties.txt
// gives `property`, in lines "CODE ; PROPERTY # ..." and "FIRST..LAST ;
// PROPERTY # ...". A range may hold code points not yet assigned: they are
// marked too. Returns the Unicode version that the file's first line names,
// "# DerivedCoreProperties-15.0.0.txt".
std::string add_property(std::string_view property, std::vector<bool>& set) {
  std::ifstream data(kUnicodeDir / "DerivedCoreProperties.txt");
  std::string version;
  std::getline(data, version);
  version = version.substr(version.find('-') + 1);
  version = version.substr(0, version.rfind(".txt"));
  for (std::string line; std::getline(data, line);) {
    line = line.substr(0, line.find('#'));
    size_t semicolon = line.find(';');
    if (semicolon == std::string::npos) continue;
    size_t name_start = line.find_first_not_of(' ', semicolon + 1);
    std::string_view name = std::string_view(line).substr(name_start);
    name = name.substr(0, name.find(' '));
    if (name != property) continue;
    size_t dots = line.find("..");
    auto first = static_cast<char32_t>(std::stoul(line, nullptr, 16));
    auto last = dots < semicolon
                    ? static_cast<char32_t>(std::stoul(line.substr(dots + 2), nullptr, 16))
                    : first;
    for (char32_t c = first; c <= last; ++c) set[c] = true;
  }
  return version;
}

// The runs of code points that `set` holds, as first and last.
std::vector<std::pair<char32_t, char32_t>> ranges(const std::vector<bool>& set) {
  std::vector<std::pair<char32_t, char32_t>> runs;
  for (char32_t c = 0; c < set.size(); ++c) {
    if (!set[c]) continue;
    if (!runs.empty() && runs.back().second + 1 == c) {
      runs.back().second = c;
    } else {
      runs.emplace_back(c, c);
    }
  }
  return runs;
}

// The characters that a terminal taking UTF-8 is shown as "?" are those of
// general category Cc (the controls), Cf, Zl and Zp, and those that are
// Default_Ignorable_Code_Point, as Unicode's data files give them: each
// code point but the surrogates, which UTF-8 cannot hold, is checked. Where
// the code differs from the files, the test names the ranges, and writes the
// table of terminal.cc as the files give it (the controls are not in it).
TEST(TerminalRule, HiddenCharactersAreUnicodesOwnSets) {
  if (!std::filesystem::exists(kUnicodeDir / "UnicodeData.txt") ||
      !std::filesystem::exists(kUnicodeDir / "DerivedCoreProperties.txt")) {
    GTEST_SKIP() << "Unicode's data files are not in " << kUnicodeDir.string()
                 << " (Debian: unicode-data)";
  }
  std::vector<bool> table(kCodePoints), controls(kCodePoints);
  add_categories({"Cf", "Zl", "Zp"}, table);
  std::string version = add_property("Default_Ignorable_Code_Point", table);
  add_categories({"Cc"}, controls);
  std::vector<bool> differ(kCodePoints);
  for (char32_t c = 0; c < kCodePoints; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    bool hidden = first_run(utf8(c), terminal::utf8).hidden != 0;
    differ[c] = hidden != (table[c] || controls[c]);
  }
  std::string report;
  for (auto [first, last] : ranges(differ)) {
    bool hidden = first_run(utf8(first), terminal::utf8).hidden != 0;
    report += "  " + code_point(first) + (first == last ? "" : " to " + code_point(last)) +
              (hidden ? ": the code hides them, Unicode's data does not\n"
                      : ": Unicode's data hides them, the code does not\n");
  }
  if (report.empty()) return;
  std::string source;
  for (auto [first, last] : ranges(table)) {
    char range[32];
    std::snprintf(range, sizeof range, "{0x%04X, 0x%04X},", static_cast<unsigned>(first),
                  static_cast<unsigned>(last));
    source += std::string(source.empty() ? "" : " ") + range;
  }
  ADD_FAILURE() << "The terminal's rule differs from the data of Unicode " << version << " in "
                << kUnicodeDir.string() << ":\n"
                << report << "The table kHidden of terminal.cc, as Unicode " << version
                << " gives it:\n"
                << source;
}

TEST(TerminalRule, TheLocaleSaysWhatATerminalTakes) {
  struct Case {
    const char *lc_all, *lc_ctype, *lang;
    terminal takes;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, terminal::ascii},
      {"C.UTF-8", nullptr, nullptr, terminal::utf8},
      {nullptr, "de_DE.utf8", nullptr, terminal::utf8},
      {nullptr, nullptr, "en_US.UTF-8", terminal::utf8},
      {nullptr, nullptr, "sr_RS.UTF-8@latin", terminal::utf8},
      {nullptr, nullptr, "en_GB.uTf-8", terminal::utf8},
      {nullptr, nullptr, "ja_JP.UTF8", terminal::utf8},
      {"C", nullptr, nullptr, terminal::ascii},
      {"POSIX", nullptr, nullptr, terminal::ascii},
      {"en_US", nullptr, nullptr, terminal::ascii},
      {"de_DE.ISO-8859-1", nullptr, nullptr, terminal::ascii},
      {"ru_RU.KOI8-R", nullptr, nullptr, terminal::ascii},
      {"UTF-8", nullptr, nullptr, terminal::ascii},  // no codeset: no "."
      {"en_US.UTF-16", nullptr, nullptr, terminal::ascii},
      {"en_US.UTF-8.x", nullptr, nullptr, terminal::ascii},
      {"en_US.UTF8x", nullptr, nullptr, terminal::ascii},
      {"en_US.utf", nullptr, nullptr, terminal::ascii},
      // The first that is set and not empty decides.
      {"C", "en_US.UTF-8", "en_US.UTF-8", terminal::ascii},
      {"", "en_US.UTF-8", "C", terminal::utf8},
      {nullptr, "", "en_US.UTF-8", terminal::utf8},
      {nullptr, "C", "en_US.UTF-8", terminal::ascii},
      {"", "", "", terminal::ascii},
  };
  for (const Case& c : cases) {
    auto name = [](const char* value) { return value ? '"' + std::string(value) + '"' : "unset"; };
    EXPECT_EQ(terminal_for_locale(c.lc_all, c.lc_ctype, c.lang), c.takes)
        << "LC_ALL " << name(c.lc_all) << ", LC_CTYPE " << name(c.lc_ctype) << ", LANG "
        << name(c.lang);
  }
}

}  // namespace
