#pragma once
// The slice of the full Unicode upper-case mapping that the system can observe.
//
// Upper-casing matters in two places: the TRUE/FALSE step of the value conversion and the
// A1 reference parse. Both only compare the result against ASCII letters, digits and '$',
// so a code point whose full upper-case mapping is not made of ASCII letters can never take
// part in a match. The table holds exactly the code points whose mapping is all ASCII
// letters; tests/core/check_upper_table.py checks it against Python's str.upper().

#include <string>
#include <string_view>

namespace tabulon {

// The full upper-case mapping of `cp` when it consists of ASCII letters only, else "".
std::string_view ascii_letter_upper(char32_t cp) noexcept;

// Decodes one code point of UTF-8 at `pos` and advances `pos`; a malformed byte decodes as
// U+FFFD and advances by one.
char32_t next_code_point(std::string_view text, std::size_t& pos) noexcept;

// True when the full upper-case mapping of `text` is exactly `upper` (ASCII uppercase).
bool upper_equals(std::string_view text, std::string_view upper) noexcept;

// The upper-case mapping of `text` as far as the reference parse can see it: ASCII letters
// upper-cased, other ASCII kept, code points that upper-case to ASCII letters expanded, and
// every other code point replaced by '\x7f', which nothing in a reference matches.
std::string reference_upper(std::string_view text);

}  // namespace tabulon
