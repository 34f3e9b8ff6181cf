#pragma once
// Column numbers and their letters: bijective base 26, column 1 is "A", column 0 has none.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon {

// Longest letters of a 16-bit column: 65535 is "CRXO".
inline constexpr std::size_t kMaxColumnLetters = 4;

// Writes the letters of `column` into `out` and returns how many (0 for column 0).
std::size_t write_column_letters(std::uint16_t column, char* out) noexcept;

std::string column_letters(std::uint16_t column);

// One to three uppercase ASCII letters to their column number ("A" 1, "ZZZ" 18278).
std::uint16_t column_from_letters(std::string_view letters) noexcept;

// Letters of the column followed by the row in decimal, e.g. "AB10".
std::string cell_letter(std::uint32_t row, std::uint16_t column);

}  // namespace tabulon
