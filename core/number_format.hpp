#pragma once
// Shortest round-trip decimal digits of a double, and the two ways the system writes them:
// the plain positional text form cells show, and the float rule of the JSON document.
// Also the strict integer and float syntaxes of the text-to-value conversion.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tabulon {

// value = d1.d2...dn x 10^exponent, digits without trailing zeros.
struct ShortestDigits {
  char digits[17];
  int count;
  int exponent;
  bool negative;
};

// For a finite, non-zero value.
ShortestDigits shortest_digits(double value) noexcept;

// Largest plain text form: "-0." + 323 zeros + 17 digits, with room to spare.
inline constexpr std::size_t kMaxPlainNumber = 352;
// Largest JSON number: "-1.2345678901234567e-308".
inline constexpr std::size_t kMaxJsonNumber = 32;

// Plain positional notation, no exponent, no trailing ".0": "5", "-0", "0.0000001",
// "1000000000000000000000"; "NaN", "inf", "-inf". `out` holds kMaxPlainNumber bytes.
std::size_t write_plain_number(double value, char* out) noexcept;

// The document's float rule for a finite value: "20.0", "0.00001", "1e-6", "1e+16".
// `out` holds kMaxJsonNumber bytes. Non-finite values are the caller's (they write null).
std::size_t write_json_number(double value, char* out) noexcept;

// An optional single '+' or '-', then ASCII digits only, within the signed 32-bit range.
std::optional<std::int32_t> parse_int32(std::string_view text) noexcept;

// Decimal float syntax: optional sign, digits with an optional point (a digit on at least one
// side), optional exponent; or inf, infinity, nan in any case. No spaces. Rounds to nearest;
// beyond the double range it gives the infinity or zero that IEEE 754 rounding gives.
std::optional<double> parse_float(std::string_view text) noexcept;

}  // namespace tabulon
