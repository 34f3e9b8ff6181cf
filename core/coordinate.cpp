#include "core/coordinate.hpp"

#include "core/letters.hpp"
#include "core/unicode_upper.hpp"

namespace tabulon {
namespace {

bool is_upper_letter(char c) { return c >= 'A' && c <= 'Z'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string coordinate_text(Coordinate c) {
  return "Coordinate { row: " + std::to_string(c.row) + ", column: " + std::to_string(c.column) +
         " }";
}

std::optional<Coordinate> parse_reference(std::string_view text) {
  const std::string upper = reference_upper(text);
  const std::size_t n = upper.size();
  std::size_t pos = 0;

  // Column part: an optional '$' that only counts when letters follow, then 1 to 3 letters.
  std::size_t letters_at = upper.size() > 0 && upper[0] == '$' ? 1 : 0;
  std::size_t letters = 0;
  while (letters < 3 && letters_at + letters < n && is_upper_letter(upper[letters_at + letters])) {
    ++letters;
  }
  if (letters == 0) return std::nullopt;
  const auto column = column_from_letters(std::string_view(upper).substr(letters_at, letters));
  pos = letters_at + letters;

  // Row part: an optional '$', then every digit that follows.
  std::size_t digits_at = pos < n && upper[pos] == '$' ? pos + 1 : pos;
  std::uint64_t row = 0;
  std::size_t digits = 0;
  while (digits_at + digits < n && is_digit(upper[digits_at + digits])) {
    row = row * 10 + static_cast<unsigned>(upper[digits_at + digits] - '0');
    if (row > UINT32_MAX) return std::nullopt;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return Coordinate{static_cast<std::uint32_t>(row), column};
}

}  // namespace tabulon
