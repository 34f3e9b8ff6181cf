#pragma once
// Naive date-times (no time zone) with nanosecond resolution.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tabulon {

struct DateTime {
  std::int64_t seconds = 0;  // since 1970-01-01 00:00:00, proleptic Gregorian calendar
  std::uint32_t nanos = 0;   // 1'000'000'000 and more only for a leap second

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

struct CivilDateTime {
  std::int64_t year;
  unsigned month, day, hour, minute, second;
  std::uint32_t nanos;
};

// Validates the calendar date and the time of day (second 60 is a leap second, stored as
// second 59 with a nanosecond field of a second or more).
std::optional<DateTime> make_datetime(const CivilDateTime& civil) noexcept;
CivilDateTime to_civil(DateTime value) noexcept;

// "%Y-%m-%d %H:%M:%S": a four-digit year, the other fields one or two digits, the whole
// text consumed (no fraction, no "T", no zone).
std::optional<DateTime> parse_datetime(std::string_view text) noexcept;

// Longest text: "+1234567890-12-31T23:59:60.123456789" and change.
inline constexpr std::size_t kMaxDateTimeText = 48;

// The date, `separator` (' ' for the cell text form, 'T' in the document), the time, and a
// fraction only when non-zero: 3 digits for whole milliseconds, 6 for whole microseconds,
// else 9. A leap second shows as second 60. `out` holds kMaxDateTimeText bytes.
std::size_t write_datetime(DateTime value, char separator, char* out) noexcept;

}  // namespace tabulon
