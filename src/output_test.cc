#include "output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "test_util.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

// What `output` writes of `text` from the file or the path to a reader
// shown `shown`, through a file, as the tool writes it.
std::string written(const std::string& text, terminal shown) {
  temp_folder folder;
  const std::string path = (folder.path() / "output").string();
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0600);
  EXPECT_GE(fd, 0);
  {
    output out(fd, shown);
    out.write_untrusted(text);
    EXPECT_EQ(out.flush(), 0);
  }
  close(fd);
  return read_file(path);
}

// `text` as a terminal taken to show ASCII alone is shown it.
std::string as_ascii(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    if (c < 0x20 || c > 0x7E) c = '?';  // char may be signed: bytes from 80 are below 0
  }
  return shown;
}

std::string utf8(unsigned code) {
  std::string text;
  append_utf8(text, code);
  return text;
}

// Characters at each edge of what a terminal that takes UTF-8 is shown as it
// stands: the controls, and the characters that reorder or hide text, each
// range with its two neighbours; and printable characters of every size.
TEST(Output, ATerminalIsShownPrintableCharactersAlone) {
  const std::pair<unsigned, unsigned> hidden[] = {
      {0x00, 0x1F},     {0x7F, 0x9F},     {0xAD, 0xAD},     {0x61C, 0x61C},   {0x200B, 0x200F},
      {0x2028, 0x202E}, {0x2060, 0x2064}, {0x2066, 0x2069}, {0xFEFF, 0xFEFF}, {0xE0000, 0xE007F},
  };
  std::vector<std::pair<unsigned, bool>> cases;  // a code point, and whether it is shown
  for (auto [first, last] : hidden) {
    if (first > 0) cases.emplace_back(first - 1, true);
    cases.insert(cases.end(), {{first, false}, {last, false}, {last + 1, true}});
  }
  // é ¬ ‐ € U+D7FF U+E000 U+FFFD, an emoji, a variation selector, the last.
  for (unsigned code :
       {0xE9, 0xAC, 0x2010, 0x20AC, 0xD7FF, 0xE000, 0xFFFD, 0x1F4F6, 0xE0100, 0x10FFFF}) {
    cases.emplace_back(code, true);
  }
  std::string all, all_shown;
  for (auto [code, shown] : cases) {
    std::string text = utf8(code);
    std::string expected = shown ? text : "?";
    EXPECT_EQ(written(text, terminal::utf8), expected) << std::hex << "U+" << code;
    EXPECT_EQ(written(text, terminal::ascii), as_ascii(text)) << std::hex << "U+" << code;
    all += text;
    all_shown += expected;
  }
  // All at once: runs of characters shown as they stand, broken by others.
  EXPECT_EQ(written(all, terminal::utf8), all_shown);
  EXPECT_EQ(written(all, terminal::ascii), as_ascii(all));
  EXPECT_EQ(written(all, terminal::none), all);
}

// Byte sequences at each edge of well-formed UTF-8. A terminal that takes
// UTF-8 is shown one "?" for each byte that is not part of a well-formed
// character, and one for each control.
TEST(Output, ATerminalIsShownWellFormedUtf8Alone) {
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
      {"2 bytes of 3, at the end", "A\xE2\x82", "A??"},
      {"3 bytes of 4, at the end", "A\xF0\x9F\x93", "A???"},
      {"1 byte of 2, at the end", "A\xC3", "A?"},
      {"C1 CSI inside UTF-8 text",
       "\xC4\x9B\xC2\x9B"
       "2J",
       "\xC4\x9B?2J"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(written(c.text, terminal::utf8), c.shown) << c.name;
    EXPECT_EQ(written(c.text, terminal::ascii), as_ascii(c.text)) << c.name;
    EXPECT_EQ(written(c.text, terminal::none), c.text) << c.name;
  }
}

TEST(Output, TheLocaleSaysWhatATerminalTakes) {
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
