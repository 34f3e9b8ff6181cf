#include "core/number_format.hpp"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tabulon {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equals_ignoring_case(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lower(text[i]) != word[i]) return false;
  }
  return true;
}

char* put_zeros(char* out, int count) {
  if (count > 0) {
    std::memset(out, '0', static_cast<std::size_t>(count));
    out += count;
  }
  return out;
}

char* put_digits(char* out, const char* digits, int count) {
  std::memcpy(out, digits, static_cast<std::size_t>(count));
  return out + count;
}

// Positional notation of the digits: "0.000ddd", "dd.ddd", or "ddd000" (no point).
char* put_positional(char* p, const ShortestDigits& d) {
  if (d.exponent < 0) {
    *p++ = '0';
    *p++ = '.';
    p = put_zeros(p, -d.exponent - 1);
    return put_digits(p, d.digits, d.count);
  }
  if (d.exponent < d.count - 1) {
    p = put_digits(p, d.digits, d.exponent + 1);
    *p++ = '.';
    return put_digits(p, d.digits + d.exponent + 1, d.count - d.exponent - 1);
  }
  p = put_digits(p, d.digits, d.count);
  return put_zeros(p, d.exponent - d.count + 1);
}

}  // namespace

ShortestDigits shortest_digits(double value) noexcept {
  // to_chars in scientific form without a precision gives the shortest round-trip digits,
  // e.g. "-1.2345e+01" or "5e-324".
  char buffer[40];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 std::chars_format::scientific);
  (void)ec;  // 40 bytes always suffice for a double
  ShortestDigits result{};
  const char* p = buffer;
  if (*p == '-') {
    result.negative = true;
    ++p;
  }
  for (; p < end && *p != 'e'; ++p) {
    if (*p != '.') result.digits[result.count++] = *p;
  }
  while (result.count > 1 && result.digits[result.count - 1] == '0') --result.count;
  ++p;  // 'e'
  bool negative_exponent = *p == '-';
  ++p;  // sign
  int exponent = 0;
  for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
  result.exponent = negative_exponent ? -exponent : exponent;
  return result;
}

std::size_t write_plain_number(double value, char* out) noexcept {
  char* p = out;
  if (std::isnan(value)) {
    std::memcpy(out, "NaN", 3);
    return 3;
  }
  if (std::isinf(value)) {
    if (value < 0) *p++ = '-';
    std::memcpy(p, "inf", 3);
    return static_cast<std::size_t>(p + 3 - out);
  }
  if (value == 0) {
    if (std::signbit(value)) *p++ = '-';
    *p++ = '0';
    return static_cast<std::size_t>(p - out);
  }
  const ShortestDigits d = shortest_digits(value);
  if (d.negative) *p++ = '-';
  p = put_positional(p, d);
  return static_cast<std::size_t>(p - out);
}

std::size_t write_json_number(double value, char* out) noexcept {
  char* p = out;
  if (value == 0) {
    if (std::signbit(value)) *p++ = '-';
    std::memcpy(p, "0.0", 3);
    return static_cast<std::size_t>(p + 3 - out);
  }
  const ShortestDigits d = shortest_digits(value);
  if (d.negative) *p++ = '-';
  if (d.exponent < -5 || d.exponent > 15) {
    *p++ = d.digits[0];
    if (d.count > 1) {
      *p++ = '.';
      p = put_digits(p, d.digits + 1, d.count - 1);
    }
    *p++ = 'e';
    *p++ = d.exponent < 0 ? '-' : '+';
    p = std::to_chars(p, p + 4, d.exponent < 0 ? -d.exponent : d.exponent).ptr;
  } else {
    p = put_positional(p, d);
    if (d.exponent >= d.count - 1) {  // integral: the document marks it as a float
      *p++ = '.';
      *p++ = '0';
    }
  }
  return static_cast<std::size_t>(p - out);
}

std::optional<std::int32_t> parse_int32(std::string_view text) noexcept {
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!is_digit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<double> parse_float(std::string_view text) noexcept {
  bool negative = false;
  std::string_view body = text;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    negative = body[0] == '-';
    body.remove_prefix(1);
  }
  if (equals_ignoring_case(body, "inf") || equals_ignoring_case(body, "infinity")) {
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }
  if (equals_ignoring_case(body, "nan")) {
    return negative ? -std::numeric_limits<double>::quiet_NaN()
                    : std::numeric_limits<double>::quiet_NaN();
  }

  // Validate the syntax ourselves; from_chars alone also takes forms we refuse.
  std::size_t i = 0, int_digits = 0, frac_digits = 0;
  while (i < body.size() && is_digit(body[i])) ++i, ++int_digits;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && is_digit(body[i])) ++i, ++frac_digits;
  }
  if (int_digits + frac_digits == 0) return std::nullopt;
  const std::size_t mantissa_end = i;
  long long exponent = 0;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
      negative_exponent = body[i] == '-';
      ++i;
    }
    std::size_t exponent_digits = 0;
    while (i < body.size() && is_digit(body[i])) {
      if (exponent < 100000000) exponent = exponent * 10 + (body[i] - '0');
      ++i, ++exponent_digits;
    }
    if (exponent_digits == 0) return std::nullopt;
    if (negative_exponent) exponent = -exponent;
  }
  if (i != body.size()) return std::nullopt;

  double value = 0;
  auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value,
                                   std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Beyond the double range: the decimal magnitude decides between infinity and zero.
    // Position of the first significant digit relative to the point, plus the exponent.
    long long magnitude = 0;
    bool significant = false;
    for (std::size_t k = 0; k < mantissa_end; ++k) {
      if (body[k] == '.') continue;
      if (body[k] != '0') {
        const long long position = static_cast<long long>(k < int_digits ? int_digits - k
                                                                          : int_digits - k + 1);
        magnitude = position + exponent;
        significant = true;
        break;
      }
    }
    value = significant && magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc() || end != body.data() + body.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace tabulon
