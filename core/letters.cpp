#include "core/letters.hpp"

#include <charconv>

namespace tabulon {

std::size_t write_column_letters(std::uint16_t column, char* out) noexcept {
  char reversed[kMaxColumnLetters];
  std::size_t count = 0;
  unsigned n = column;
  while (n != 0) {
    unsigned digit = (n - 1) % 26;
    reversed[count++] = static_cast<char>('A' + digit);
    n = (n - 1) / 26;
  }
  for (std::size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

std::string column_letters(std::uint16_t column) {
  char buffer[kMaxColumnLetters];
  return std::string(buffer, write_column_letters(column, buffer));
}

std::uint16_t column_from_letters(std::string_view letters) noexcept {
  unsigned value = 0;
  for (char c : letters) value = value * 26 + static_cast<unsigned>(c - 'A' + 1);
  return static_cast<std::uint16_t>(value);
}

std::string cell_letter(std::uint32_t row, std::uint16_t column) {
  char buffer[kMaxColumnLetters + 10];
  std::size_t n = write_column_letters(column, buffer);
  auto end = std::to_chars(buffer + n, buffer + sizeof buffer, row).ptr;
  return std::string(buffer, end);
}

}  // namespace tabulon
