#pragma once
// The tagged cell value in 16 bytes, its text form and the text-to-value conversion.
//
// Layout: byte 15 holds the kind (low 3 bits) and a heap flag. A text of up to 14 bytes is
// stored inline (length in byte 14); a longer one on the heap (pointer in bytes 0-7, length
// in bytes 8-11). Numbers, integers, booleans and date-times sit in bytes 0-11.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/datetime.hpp"
#include "core/number_format.hpp"

namespace tabulon {

// The tag order is part of the model: Empty, Text, Number, Integer, Bool, DateTime.
enum class ValueKind : std::uint8_t { Empty = 0, Text = 1, Number = 2, Integer = 3, Bool = 4, DateTime = 5 };

class CellValue {
 public:
  CellValue() noexcept { set_kind(ValueKind::Empty, false); }
  static CellValue text(std::string_view text);
  static CellValue number(double value) noexcept;
  static CellValue integer(std::int32_t value) noexcept;
  static CellValue boolean(bool value) noexcept;
  static CellValue datetime(DateTime value) noexcept;

  CellValue(const CellValue& other);
  CellValue(CellValue&& other) noexcept;
  CellValue& operator=(const CellValue& other);
  CellValue& operator=(CellValue&& other) noexcept;
  ~CellValue() { free_heap(); }

  ValueKind kind() const noexcept { return static_cast<ValueKind>(bytes_[15] & kKindMask); }

  // Valid for the matching kind only.
  std::string_view as_text() const noexcept;
  double as_number() const noexcept { return load<double>(0); }
  std::int32_t as_integer() const noexcept { return load<std::int32_t>(0); }
  bool as_bool() const noexcept { return bytes_[0] != 0; }
  DateTime as_datetime() const noexcept { return {load<std::int64_t>(0), load<std::uint32_t>(8)}; }

  // Heap bytes owned beyond the 16 inline ones (for memory accounting).
  std::size_t heap_bytes() const noexcept { return is_heap() ? heap_size() : 0; }

 private:
  static constexpr unsigned char kKindMask = 0x07;
  static constexpr unsigned char kHeapFlag = 0x80;
  static constexpr std::size_t kInlineCapacity = 14;

  template <class T>
  T load(std::size_t offset) const noexcept {
    T value;
    std::memcpy(&value, bytes_ + offset, sizeof(T));
    return value;
  }
  template <class T>
  void store(std::size_t offset, T value) noexcept {
    std::memcpy(bytes_ + offset, &value, sizeof(T));
  }
  void set_kind(ValueKind kind, bool heap) noexcept {
    bytes_[15] = static_cast<unsigned char>(static_cast<unsigned char>(kind) | (heap ? kHeapFlag : 0));
  }
  bool is_heap() const noexcept { return (bytes_[15] & kHeapFlag) != 0; }
  std::size_t heap_size() const noexcept { return load<std::uint32_t>(8); }
  void free_heap() noexcept;

  alignas(8) unsigned char bytes_[16]{};
};

static_assert(sizeof(CellValue) == 16);

// The one-letter type code of a kind: "s" for Empty and Text, "n", "b", "d".
char type_code(ValueKind kind) noexcept;

// Scratch space for text forms that are not stored as text.
struct TextFormBuffer {
  char data[kMaxPlainNumber > kMaxDateTimeText ? kMaxPlainNumber : kMaxDateTimeText];
};

// The text form cells show and searches match on. For Text it views the stored bytes, so
// the caller keeps the value (and its lock) while using the view; otherwise `scratch`.
std::string_view text_form(const CellValue& value, TextFormBuffer& scratch) noexcept;
std::string text_form(const CellValue& value);

// The text-to-value conversion: TRUE/FALSE (full upper-case mapping), empty, a signed
// 32-bit integer, a float, a "%Y-%m-%d %H:%M:%S" date-time, else the text itself.
CellValue value_from_text(std::string_view text);

}  // namespace tabulon
