#pragma once
// A cell's position and the A1-style reference parse.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulon {

struct Coordinate {
  std::uint32_t row = 0;
  std::uint16_t column = 0;

  friend bool operator==(const Coordinate&, const Coordinate&) = default;
  // Row-major order: row first, then column.
  friend auto operator<=>(const Coordinate& a, const Coordinate& b) = default;

  // One 64-bit key that sorts in row-major order.
  std::uint64_t key() const noexcept { return (std::uint64_t{row} << 16) | column; }
  static Coordinate from_key(std::uint64_t key) noexcept {
    return {static_cast<std::uint32_t>(key >> 16), static_cast<std::uint16_t>(key & 0xFFFF)};
  }
};

// "Coordinate { row: 3, column: 2 }", the form the cell reprs embed.
std::string coordinate_text(Coordinate c);

// Parses an A1 reference as the pattern ((\$)?([A-Z]{1,3}))?((\$)?([0-9]+))? would, on the
// full upper-case mapping of the text, matched from the first character: '$' markers are
// ignored, anything after the match is ignored. Fails (nullopt) without column letters,
// without row digits, or with a row beyond 32 bits.
std::optional<Coordinate> parse_reference(std::string_view text);

}  // namespace tabulon
