#include "terminal.h"

#include <algorithm>
#include <iterator>

namespace {

// The well-formed UTF-8 character that `text` starts with: its size in bytes
// and its code point. The size is 0 if the first byte starts none: a stray
// continuation byte, an overlong form, a surrogate, a code point past
// U+10FFFF or a character cut short.
struct utf8_character {
  size_t size;
  char32_t code;
};

utf8_character first_utf8(std::string_view text) {
  auto byte = [&](size_t i) -> char32_t { return static_cast<unsigned char>(text[i]); };
  char32_t lead = byte(0);
  if (lead < 0x80) return {1, lead};
  size_t size;
  char32_t code;
  char32_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // not overlong
    if (lead == 0xED) high = 0x9F;  // not a surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // not overlong
    if (lead == 0xF4) high = 0x8F;  // not past U+10FFFF
  } else {
    return {0, 0};
  }
  if (text.size() < size || byte(1) < low || byte(1) > high) return {0, 0};
  for (size_t i = 1; i < size; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {0, 0};
    code = code << 6 | (byte(i) & 0x3F);
  }
  return {size, code};
}

struct code_range {
  char32_t first, last;
};

// The characters of general category Cf, Zl or Zp, and those with the
// property Default_Ignorable_Code_Point, as Unicode 15.0.0's data gives
// them, in ranges that neither overlap nor touch, in order. They hide, or
// reorder the text around them, and could make one line look like another.
// The test TerminalRule.HiddenCharactersAreUnicodesOwnSets checks the table
// against Unicode's data files, and where they differ, names the ranges and
// writes the table as they give it.
constexpr code_range kHidden[] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},
    {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},
    {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x200B, 0x200F},
    {0x2028, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},
    {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
    {0xE0000, 0xE0FFF},
};

// Whether a terminal that takes UTF-8 is shown `code` as it stands. The
// table is searched for characters past the C1 controls alone: ASCII, most
// of what a terminal is shown, is decided at once.
bool is_shown(char32_t code) {
  if (code < 0x80) return code >= 0x20 && code != 0x7F;
  if (code <= 0x9F) return false;
  const code_range* range =
      std::lower_bound(std::begin(kHidden), std::end(kHidden), code,
                       [](const code_range& r, char32_t c) { return r.last < c; });
  return range == std::end(kHidden) || code < range->first;
}

// The first character of `text` as `shown` is to be shown it: its size in
// bytes, and whether it goes as it stands (or as one "?"). A byte that
// starts no character counts as a character of its own.
struct character {
  size_t size;
  bool as_it_stands;
};

character first_character(std::string_view text, terminal shown) {
  if (shown == terminal::ascii) {
    auto byte = static_cast<unsigned char>(text[0]);
    return {1, byte >= 0x20 && byte <= 0x7E};
  }
  utf8_character c = first_utf8(text);
  if (c.size == 0) return {1, false};
  return {c.size, is_shown(c.code)};
}

// Whether `text` is `lower_case` written in any case.
bool equals_in_any_case(std::string_view text, std::string_view lower_case) {
  return std::equal(text.begin(), text.end(), lower_case.begin(), lower_case.end(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

}  // namespace

terminal terminal_for_locale(const char* lc_all, const char* lc_ctype, const char* lang) {
  std::string_view locale;
  for (const char* value : {lc_all, lc_ctype, lang}) {
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  size_t dot = locale.find('.');
  if (dot == std::string_view::npos) return terminal::ascii;
  std::string_view codeset = locale.substr(dot + 1);
  codeset = codeset.substr(0, codeset.find('@'));
  bool utf8 = equals_in_any_case(codeset, "utf-8") || equals_in_any_case(codeset, "utf8");
  return utf8 ? terminal::utf8 : terminal::ascii;
}

shown_run first_run(std::string_view text, terminal shown) {
  size_t run = 0;
  while (run < text.size()) {
    character c = first_character(text.substr(run), shown);
    if (!c.as_it_stands) return {run, c.size};
    run += c.size;
  }
  return {run, 0};
}
