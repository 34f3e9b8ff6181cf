#include "core/datetime.hpp"

#include <charconv>

namespace tabulon {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) noexcept {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civil_from_days(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) noexcept {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

bool is_leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned days_in_month(std::int64_t y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

// Reads between `min_digits` and `max_digits` ASCII digits at `pos`.
bool read_number(std::string_view text, std::size_t& pos, std::size_t min_digits,
                 std::size_t max_digits, unsigned& out) {
  std::size_t n = 0;
  unsigned value = 0;
  while (n < max_digits && pos + n < text.size() && text[pos + n] >= '0' && text[pos + n] <= '9') {
    value = value * 10 + static_cast<unsigned>(text[pos + n] - '0');
    ++n;
  }
  if (n < min_digits) return false;
  pos += n;
  out = value;
  return true;
}

bool expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

char* two_digits(char* out, unsigned value) {
  out[0] = static_cast<char>('0' + value / 10 % 10);
  out[1] = static_cast<char>('0' + value % 10);
  return out + 2;
}

char* padded(char* out, std::uint64_t value, int width) {
  char digits[24];
  auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (int pad = width - static_cast<int>(end - digits); pad > 0; --pad) *out++ = '0';
  for (char* p = digits; p < end; ++p) *out++ = *p;
  return out;
}

}  // namespace

std::optional<DateTime> make_datetime(const CivilDateTime& c) noexcept {
  if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > days_in_month(c.year, c.month) ||
      c.hour > 23 || c.minute > 59 || c.second > 60 || c.nanos >= 1'000'000'000) {
    return std::nullopt;
  }
  unsigned second = c.second;
  std::uint32_t nanos = c.nanos;
  if (second == 60) {  // leap second
    second = 59;
    nanos += 1'000'000'000;
  }
  DateTime result;
  result.seconds = days_from_civil(c.year, c.month, c.day) * kSecondsPerDay + c.hour * 3600 +
                   c.minute * 60 + second;
  result.nanos = nanos;
  return result;
}

CivilDateTime to_civil(DateTime value) noexcept {
  std::int64_t days = value.seconds / kSecondsPerDay;
  std::int64_t rest = value.seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  CivilDateTime c{};
  civil_from_days(days, c.year, c.month, c.day);
  c.hour = static_cast<unsigned>(rest / 3600);
  c.minute = static_cast<unsigned>(rest / 60 % 60);
  c.second = static_cast<unsigned>(rest % 60);
  c.nanos = value.nanos;
  if (c.nanos >= 1'000'000'000) {
    c.nanos -= 1'000'000'000;
    c.second += 1;
  }
  return c;
}

std::optional<DateTime> parse_datetime(std::string_view text) noexcept {
  std::size_t pos = 0;
  unsigned year, month, day, hour, minute, second;
  if (!read_number(text, pos, 4, 4, year) || !expect(text, pos, '-') ||
      !read_number(text, pos, 1, 2, month) || !expect(text, pos, '-') ||
      !read_number(text, pos, 1, 2, day) || !expect(text, pos, ' ') ||
      !read_number(text, pos, 1, 2, hour) || !expect(text, pos, ':') ||
      !read_number(text, pos, 1, 2, minute) || !expect(text, pos, ':') ||
      !read_number(text, pos, 1, 2, second) || pos != text.size()) {
    return std::nullopt;
  }
  return make_datetime({year, month, day, hour, minute, second, 0});
}

std::size_t write_datetime(DateTime value, char separator, char* out) noexcept {
  const CivilDateTime c = to_civil(value);
  char* p = out;
  if (c.year >= 0 && c.year <= 9999) {
    p = padded(p, static_cast<std::uint64_t>(c.year), 4);
  } else {
    *p++ = c.year < 0 ? '-' : '+';
    p = padded(p, static_cast<std::uint64_t>(c.year < 0 ? -c.year : c.year), 4);
  }
  *p++ = '-';
  p = two_digits(p, c.month);
  *p++ = '-';
  p = two_digits(p, c.day);
  *p++ = separator;
  p = two_digits(p, c.hour);
  *p++ = ':';
  p = two_digits(p, c.minute);
  *p++ = ':';
  p = two_digits(p, c.second);
  if (c.nanos != 0) {
    *p++ = '.';
    if (c.nanos % 1'000'000 == 0) {
      p = padded(p, c.nanos / 1'000'000, 3);
    } else if (c.nanos % 1'000 == 0) {
      p = padded(p, c.nanos / 1'000, 6);
    } else {
      p = padded(p, c.nanos, 9);
    }
  }
  return static_cast<std::size_t>(p - out);
}

}  // namespace tabulon
