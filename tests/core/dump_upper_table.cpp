// Prints "code-point mapping" for every code point the upper-case table maps to ASCII letters.
#include <cstdio>
#include <string>

#include "core/unicode_upper.hpp"

int main() {
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp < 0xE000) continue;
    std::string_view mapped = tabulon::ascii_letter_upper(cp);
    if (!mapped.empty()) {
      std::printf("%X %.*s\n", static_cast<unsigned>(cp), static_cast<int>(mapped.size()),
                  mapped.data());
    }
  }
}
