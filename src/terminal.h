// What a terminal is shown of the text that comes from the file or the
// path, and what it takes, as the locale says.

#ifndef PLMN_TERMINAL_H_
#define PLMN_TERMINAL_H_

#include <cstddef>
#include <string_view>

// What the reader of the output is shown, which decides what of the file and
// the path may be written there as it stands.
enum class terminal : unsigned char {
  none,   // no terminal: a pipe or a file gets every byte as it stands
  utf8,   // a terminal that takes UTF-8, or a Windows console (characters)
  ascii,  // a terminal taken to show ASCII alone
};

// What a POSIX terminal takes, from the values of LC_ALL, LC_CTYPE and LANG
// (null where unset): the first that is set and not empty names the locale,
// whose character set is UTF-8 when its codeset (after the first ".", up to
// any "@") reads UTF-8 or utf8, in any case. Anything else, no locale at all
// included, is taken to show ASCII alone. The names are read as they stand,
// with no setlocale: the answer does not depend on the locales installed.
terminal terminal_for_locale(const char* lc_all, const char* lc_ctype, const char* lang);

// How text from the file or the path starts, as a terminal is to be shown
// it: the longest run of characters that it is shown as they stand, then
// the character that it is shown as one "?".
struct shown_run {
  size_t as_it_stands;  // bytes
  size_t hidden;        // bytes of the character shown as "?"; 0 when the run is all the text
};

// The bytes of a file must not drive the terminal (escape sequences) or
// hide or disguise what is listed (CR, BS, a right-to-left override), so a
// terminal is shown each character that it could take for anything but a
// printable one as one "?". To a terminal that takes UTF-8 (`shown` is
// terminal::utf8), those are each character of general category Cc (the C0
// controls, DEL and the C1 controls), Cf (format), Zl or Zp (the line and
// paragraph separators), each character with the property
// Default_Ignorable_Code_Point, and each byte that is not part of a
// well-formed UTF-8 character. To one taken to show ASCII alone, where the
// bytes 80 to 9F are C1 controls: each byte outside 20 to 7E. `shown` is not
// terminal::none, where every byte goes as it stands.
shown_run first_run(std::string_view text, terminal shown);

#endif  // PLMN_TERMINAL_H_
