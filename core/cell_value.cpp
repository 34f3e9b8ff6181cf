#include "core/cell_value.hpp"

#include <charconv>
#include <cstring>
#include <new>

#include "core/unicode_upper.hpp"

namespace tabulon {

CellValue CellValue::text(std::string_view text) {
  CellValue v;
  if (text.size() <= kInlineCapacity) {
    std::memcpy(v.bytes_, text.data(), text.size());
    v.bytes_[14] = static_cast<unsigned char>(text.size());
    v.set_kind(ValueKind::Text, false);
  } else {
    if (text.size() > UINT32_MAX) throw std::bad_alloc();
    char* heap = new char[text.size()];
    std::memcpy(heap, text.data(), text.size());
    v.store<char*>(0, heap);
    v.store<std::uint32_t>(8, static_cast<std::uint32_t>(text.size()));
    v.set_kind(ValueKind::Text, true);
  }
  return v;
}

CellValue CellValue::number(double value) noexcept {
  CellValue v;
  v.store(0, value);
  v.set_kind(ValueKind::Number, false);
  return v;
}

CellValue CellValue::integer(std::int32_t value) noexcept {
  CellValue v;
  v.store(0, value);
  v.set_kind(ValueKind::Integer, false);
  return v;
}

CellValue CellValue::boolean(bool value) noexcept {
  CellValue v;
  v.bytes_[0] = value ? 1 : 0;
  v.set_kind(ValueKind::Bool, false);
  return v;
}

CellValue CellValue::datetime(DateTime value) noexcept {
  CellValue v;
  v.store(0, value.seconds);
  v.store(8, value.nanos);
  v.set_kind(ValueKind::DateTime, false);
  return v;
}

CellValue::CellValue(const CellValue& other) {
  if (other.is_heap()) {
    *this = text(other.as_text());
  } else {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  }
}

CellValue::CellValue(CellValue&& other) noexcept {
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  other.set_kind(ValueKind::Empty, false);
}

CellValue& CellValue::operator=(const CellValue& other) {
  if (this != &other) *this = CellValue(other);
  return *this;
}

CellValue& CellValue::operator=(CellValue&& other) noexcept {
  if (this != &other) {
    free_heap();
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.set_kind(ValueKind::Empty, false);
  }
  return *this;
}

void CellValue::free_heap() noexcept {
  if (is_heap()) delete[] load<char*>(0);
}

std::string_view CellValue::as_text() const noexcept {
  if (is_heap()) return {load<char*>(0), heap_size()};
  return {reinterpret_cast<const char*>(bytes_), bytes_[14]};
}

char type_code(ValueKind kind) noexcept {
  switch (kind) {
    case ValueKind::Number:
    case ValueKind::Integer:
      return 'n';
    case ValueKind::Bool:
      return 'b';
    case ValueKind::DateTime:
      return 'd';
    case ValueKind::Empty:
    case ValueKind::Text:
      break;
  }
  return 's';
}

std::string_view text_form(const CellValue& value, TextFormBuffer& scratch) noexcept {
  switch (value.kind()) {
    case ValueKind::Empty:
      return {};
    case ValueKind::Text:
      return value.as_text();
    case ValueKind::Number:
      return {scratch.data, write_plain_number(value.as_number(), scratch.data)};
    case ValueKind::Integer: {
      auto end = std::to_chars(scratch.data, scratch.data + sizeof scratch.data, value.as_integer()).ptr;
      return {scratch.data, static_cast<std::size_t>(end - scratch.data)};
    }
    case ValueKind::Bool:
      return value.as_bool() ? std::string_view("true") : std::string_view("false");
    case ValueKind::DateTime:
      return {scratch.data, write_datetime(value.as_datetime(), ' ', scratch.data)};
  }
  return {};
}

std::string text_form(const CellValue& value) {
  TextFormBuffer scratch;
  return std::string(text_form(value, scratch));
}

CellValue value_from_text(std::string_view text) {
  if (upper_equals(text, "TRUE")) return CellValue::boolean(true);
  if (upper_equals(text, "FALSE")) return CellValue::boolean(false);
  if (text.empty()) return CellValue();
  if (auto integer = parse_int32(text)) return CellValue::integer(*integer);
  if (auto number = parse_float(text)) return CellValue::number(*number);
  if (auto datetime = parse_datetime(text)) return CellValue::datetime(*datetime);
  return CellValue::text(text);
}

}  // namespace tabulon
