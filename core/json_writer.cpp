#include "core/json_writer.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/cell.hpp"
#include "core/comment.hpp"
#include "core/datetime.hpp"
#include "core/number_format.hpp"
#include "core/rwlock.hpp"

namespace tabulon {
namespace {

// Per byte: 0 to copy it, 'x' to copy it and note a non-ASCII byte, else the letter after the
// backslash ('u' for the \u00XX form).
constexpr std::array<char, 256> kEscape = [] {
  std::array<char, 256> table{};
  for (int c = 0; c < 0x20; ++c) table[c] = 'u';
  for (int c = 0x80; c < 0x100; ++c) table[c] = 'x';
  table['\b'] = 'b';
  table['\t'] = 't';
  table['\n'] = 'n';
  table['\f'] = 'f';
  table['\r'] = 'r';
  table['"'] = '"';
  table['\\'] = '\\';
  return table;
}();

template <std::size_t N>
void literal(const char (&text)[N], JsonSink& out) {
  out.append(std::string_view(text, N - 1));
}

template <class Int>
void write_integer(Int value, JsonSink& out) {
  char buffer[24];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  out.append(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

void write_float(double value, JsonSink& out) {
  if (!std::isfinite(value)) {
    literal("null", out);
    return;
  }
  char buffer[kMaxJsonNumber];
  out.append(std::string_view(buffer, write_json_number(value, buffer)));
}

void write_bool(bool value, JsonSink& out) {
  if (value) {
    literal("true", out);
  } else {
    literal("false", out);
  }
}

void write_value(const CellValue& value, JsonSink& out) {
  switch (value.kind()) {
    case ValueKind::Empty:
      literal("null", out);
      return;
    case ValueKind::Text:
      write_json_string(value.as_text(), out);
      return;
    case ValueKind::Number:
      write_float(value.as_number(), out);
      return;
    case ValueKind::Integer:
      write_integer(value.as_integer(), out);
      return;
    case ValueKind::Bool:
      write_bool(value.as_bool(), out);
      return;
    case ValueKind::DateTime: {
      char buffer[kMaxDateTimeText + 2];
      buffer[0] = '"';
      const std::size_t length = write_datetime(value.as_datetime(), 'T', buffer + 1);
      buffer[length + 1] = '"';
      out.append(std::string_view(buffer, length + 2));
      return;
    }
  }
  literal("null", out);  // an unknown tag cannot be stored; keep the text well-formed anyway
}

void write_cell(const Cell& cell, JsonSink& out) {
  ReadGuard<TinyRwLock> read(cell.lock);
  literal("{\"row\":", out);
  write_integer(cell.row, out);
  literal(",\"column\":", out);
  write_integer(cell.column, out);
  literal(",\"value\":", out);
  write_value(cell.value, out);
  if (const auto* formula = cell.formula()) {
    literal(",\"formula\":", out);
    write_json_string(**formula, out);
  }
  literal(",\"data_type\":", out);
  write_json_string(cell.data_type(), out);
  if (const auto* style = cell.style()) {
    literal(",\"style_id\":", out);
    write_json_string(**style, out);
  }
  if (const auto* hidden = cell.hidden_value()) {
    literal(",\"hidden_value\":", out);
    write_json_string(**hidden, out);
  }
  out.push_back('}');
}

void write_comment(const Comment& comment, JsonSink& out) {
  ReadGuard<TinyRwLock> read(comment.lock);
  literal("{\"row\":", out);
  write_integer(comment.row, out);
  literal(",\"column\":", out);
  write_integer(comment.column, out);
  literal(",\"author\":", out);
  write_json_string(comment.author, out);
  literal(",\"text\":", out);
  write_json_string(comment.text, out);
  out.push_back('}');
}

// The shared shape of the two dimension maps: {"rows":{"3":{...},...},"default_height":20.0}.
template <class Map, class WriteOne>
void write_dimensions(const Map& map, const char* map_key, const char* default_key,
                      double default_size, WriteOne write_one, JsonSink& out) {
  out.push_back('{');
  if (!map.empty()) {
    out.append(map_key);
    out.push_back('{');
    bool first = true;
    for (const auto& [number, dimension] : map) {
      if (!first) out.push_back(',');
      first = false;
      out.push_back('"');
      write_integer(number, out);
      literal("\":", out);
      write_one(dimension);
    }
    literal("},", out);
  }
  out.append(default_key);
  write_float(default_size, out);
  out.push_back('}');
}

// A plain cell writes some 50 to 80 bytes; reserving per sheet keeps the buffer from
// doubling its way through the large ones.
constexpr std::size_t kBytesPerCell = 64;

}  // namespace

void write_json_string(std::string_view text, JsonSink& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  const char* run = text.data();
  const char* const end = run + text.size();
  for (const char* p = run; p != end; ++p) {
    const unsigned char byte = static_cast<unsigned char>(*p);
    const char escape = kEscape[byte];
    if (escape == 0) [[likely]] continue;
    if (escape == 'x') {
      out.note_non_ascii();
      continue;
    }
    out.append(std::string_view(run, static_cast<std::size_t>(p - run)));
    if (escape == 'u') {
      const char form[6] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
      out.append(std::string_view(form, sizeof form));
    } else {
      const char form[2] = {'\\', escape};
      out.append(std::string_view(form, sizeof form));
    }
    run = p + 1;
  }
  out.append(std::string_view(run, static_cast<std::size_t>(end - run)));
  out.push_back('"');
}

void write_sheet(const Sheet& sheet, JsonSink& out) {
  ReadGuard<RecordLock> read(sheet.lock);
  const std::span<Cell* const> cells = sheet.cells.row_major();
  out.reserve_more(cells.size() * kBytesPerCell + 256);

  literal("{\"name\":", out);
  write_json_string(sheet.name, out);
  literal(",\"sheet_state\":", out);
  write_json_string(sheet.sheet_state, out);

  literal(",\"merge_cells\":[", out);
  for (std::size_t i = 0; i < sheet.merge_cells.size(); ++i) {
    const MergedRange& range = sheet.merge_cells[i];
    if (i != 0) out.push_back(',');
    out.push_back('[');
    write_integer(range.start_row, out);
    out.push_back(',');
    write_integer(range.end_row, out);
    out.push_back(',');
    write_integer(range.start_col, out);
    out.push_back(',');
    write_integer(range.end_col, out);
    out.push_back(']');
  }

  literal("],\"cells\":[", out);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i != 0) out.push_back(',');
    write_cell(*cells[i], out);
  }

  literal("],\"row_dimensions\":", out);
  write_dimensions(
      sheet.row_dimensions.rows, "\"rows\":", "\"default_height\":",
      sheet.row_dimensions.default_height,
      [&out](const RowDimension& row) {
        literal("{\"row_num\":", out);
        write_integer(row.row_num, out);
        literal(",\"height\":", out);
        write_float(row.height, out);
        literal(",\"hidden\":", out);
        write_bool(row.hidden, out);
        literal(",\"collapsed\":", out);
        write_bool(row.collapsed, out);
        literal(",\"level\":", out);
        write_integer(row.level, out);
        out.push_back('}');
      },
      out);

  literal(",\"column_dimensions\":", out);
  write_dimensions(
      sheet.column_dimensions.columns, "\"columns\":", "\"default_width\":",
      sheet.column_dimensions.default_width,
      [&out](const ColumnDimension& column) {
        literal("{\"col_num\":", out);
        write_integer(column.col_num, out);
        literal(",\"width\":", out);
        write_float(column.width, out);
        literal(",\"hidden\":", out);
        write_bool(column.hidden, out);
        literal(",\"collapsed\":", out);
        write_bool(column.collapsed, out);
        literal(",\"level\":", out);
        write_integer(column.level, out);
        out.push_back('}');
      },
      out);

  literal(",\"comments\":[", out);
  for (std::size_t i = 0; i < sheet.comments.size(); ++i) {
    if (i != 0) out.push_back(',');
    write_comment(*sheet.comments[i], out);
  }
  literal("]}", out);
}

void write_sheets(std::span<const SheetRef> sheets, JsonSink& out) {
  literal("{\"sheets\":[", out);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (i != 0) out.push_back(',');
    write_sheet(*sheets[i], out);
  }
  literal("]}", out);
}

Result<std::size_t> write_document(const Book& book, JsonSink& out) {
  ReadGuard<RecordLock> read(book.lock);
  const std::size_t before = out.size();
  write_sheets(book.sheets, out);
  return out.size() - before;
}

Result<std::string> write_document(const Book& book) {
  StringSink out;
  Result<std::size_t> written = write_document(book, out);
  if (!written) return written.error();
  return std::move(out).take();
}

std::string StringSink::take() && {
  text_.resize(size());
  return std::move(text_);
}

void StringSink::grow(std::size_t more) {
  const std::size_t size = this->size();
  text_.resize(std::max({text_.size() * 2, size + more, std::size_t{128}}));
  rebase(text_.data(), size, text_.size());
}

}  // namespace tabulon
