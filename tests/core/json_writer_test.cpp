#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/book.hpp"
#include "core/json_writer.hpp"
#include "core/sheet.hpp"

namespace tabulon {
namespace {

constexpr const char* kFreshData =
    R"({"name":"Data","sheet_state":"visible","merge_cells":[],"cells":[],)"
    R"("row_dimensions":{"default_height":20.0},"column_dimensions":{"default_width":22.5},)"
    R"("comments":[]})";

std::string document(const Book& book) {
  Result<std::string> text = write_document(book);
  EXPECT_TRUE(text.ok());
  return text ? text.value() : std::string();
}

std::string sheet_text(const Sheet& sheet) {
  StringSink out;
  write_sheet(sheet, out);
  return std::move(out).take();
}

// The text between "cells":[ and the ] that closes it.
std::string cells_text(const Sheet& sheet) {
  const std::string text = sheet_text(sheet);
  const std::string open = "\"cells\":[";
  const std::size_t begin = text.find(open) + open.size();
  return text.substr(begin, text.find("],\"row_dimensions\"") - begin);
}

std::string escaped(std::string_view text) {
  StringSink out;
  write_json_string(text, out);
  return std::move(out).take();
}

TEST(JsonWriter, FreshSheetAndEmptyBook) {
  Book book;
  EXPECT_EQ(document(book), R"({"sheets":[]})");
  add_sheet(book, "Data", "visible");
  EXPECT_EQ(document(book), std::string(R"({"sheets":[)") + kFreshData + "]}");
  add_sheet(book, "Second", "hidden");
  const std::string text = document(book);
  EXPECT_NE(text.find(std::string(kFreshData) + R"(,{"name":"Second","sheet_state":"hidden",)"),
            std::string::npos)
      << text;
}

TEST(JsonWriter, CellMembersInOrderAndOmittedWhenAbsent) {
  struct Case {
    const char* name;
    std::function<void(Cell&)> extra;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", [](Cell&) {}, R"({"row":4,"column":2,"value":5,"data_type":"n"})"},
      {"all three",
       [](Cell& c) {
         c.set_formula("=SUM(A1:A3)");
         c.set_style("money");
         c.set_hidden_value("secret");
       },
       R"j({"row":4,"column":2,"value":5,"formula":"=SUM(A1:A3)","data_type":"f",)j"
       R"("style_id":"money","hidden_value":"secret"})"},
      {"style only", [](Cell& c) { c.set_style("s\"1"); },
       R"({"row":4,"column":2,"value":5,"data_type":"n","style_id":"s\"1"})"},
      {"hidden only", [](Cell& c) { c.set_hidden_value(""); },
       R"({"row":4,"column":2,"value":5,"data_type":"n","hidden_value":""})"},
      {"taken-in code", [](Cell& c) { c.set_data_type("inlineStr"); },
       R"({"row":4,"column":2,"value":5,"data_type":"inlineStr"})"},
  };
  for (const Case& c : cases) {
    Sheet sheet("S", "visible");
    CellValue five = CellValue::integer(5);
    CellRef cell = write_cell(sheet, {4, 2}, &five);
    {
      WriteGuard<TinyRwLock> write(cell->lock);
      c.extra(*cell);
    }
    EXPECT_EQ(cells_text(sheet), c.expected) << c.name;
  }
}

DateTime at(unsigned second, std::uint32_t nanos) {
  return *make_datetime(CivilDateTime{2024, 3, 5, 7, 8, second, nanos});
}

TEST(JsonWriter, ValueByKind) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    CellValue value;
    const char* expected;
  } cases[] = {
      {CellValue(), "null"},
      {CellValue::text(""), R"("")"},
      {CellValue::text("a text longer than the inline part"),
       R"("a text longer than the inline part")"},
      {CellValue::number(5.0), "5.0"},
      {CellValue::number(-0.0), "-0.0"},
      {CellValue::number(0.0), "0.0"},
      {CellValue::number(12.34), "12.34"},
      {CellValue::number(1e16), "1e+16"},
      {CellValue::number(0.00001), "0.00001"},
      {CellValue::number(0.000001), "1e-6"},
      {CellValue::number(std::nan("")), "null"},
      {CellValue::number(inf), "null"},
      {CellValue::number(-inf), "null"},
      {CellValue::integer(5), "5"},
      {CellValue::integer(-2147483647 - 1), "-2147483648"},
      {CellValue::boolean(true), "true"},
      {CellValue::boolean(false), "false"},
      {CellValue::datetime(at(9, 0)), R"("2024-03-05T07:08:09")"},
      {CellValue::datetime(at(9, 250'000'000)), R"("2024-03-05T07:08:09.250")"},
      {CellValue::datetime(at(9, 1500)), R"("2024-03-05T07:08:09.000001500")"},
      {CellValue::datetime(at(60, 0)), R"("2024-03-05T07:08:60")"},
  };
  for (const auto& c : cases) {
    Sheet sheet("S", "visible");
    CellValue value = c.value;
    write_cell(sheet, {1, 1}, &value);
    const std::string cells = cells_text(sheet);
    const std::string prefix = R"({"row":1,"column":1,"value":)";
    ASSERT_EQ(cells.rfind(prefix, 0), 0u) << cells;
    EXPECT_EQ(cells.substr(prefix.size(), cells.find(",\"data_type\"") - prefix.size()),
              c.expected)
        << cells;
  }
}

TEST(JsonWriter, CellsComeOutRowMajorWhateverTheInsertOrder) {
  Sheet sheet("S", "visible");
  for (Coordinate c : {Coordinate{2, 1}, Coordinate{1, 3}, Coordinate{1, 2}})
    write_cell(sheet, c, nullptr);
  EXPECT_EQ(cells_text(sheet),
            R"({"row":1,"column":2,"value":null,"data_type":"s"},)"
            R"({"row":1,"column":3,"value":null,"data_type":"s"},)"
            R"({"row":2,"column":1,"value":null,"data_type":"s"})");
}

TEST(JsonWriter, DimensionsMergedRangesAndComments) {
  Sheet sheet("S", "visible");
  RowDimension& row = row_dimension(sheet, 3);
  row.height = 15.0;
  row.hidden = true;
  ColumnDimension& column = column_dimension(sheet, 65535);
  column.width = std::nan("");
  column.collapsed = true;
  column.level = 4294967295u;
  sheet.merge_cells.push_back({1, 2, 3, 4});
  sheet.merge_cells.push_back({4294967295u, 4294967295u, 65535, 65535});
  sheet.comments.push_back(CommentRef::make(7, 2, "line\none", "Ann \"A\""));
  sheet.comments.push_back(CommentRef::make(1, 1, "", ""));
  EXPECT_EQ(sheet_text(sheet),
            R"({"name":"S","sheet_state":"visible",)"
            R"("merge_cells":[[1,2,3,4],[4294967295,4294967295,65535,65535]],"cells":[],)"
            R"("row_dimensions":{"rows":{"3":{"row_num":3,"height":15.0,"hidden":true,)"
            R"("collapsed":false,"level":0}},"default_height":20.0},)"
            R"("column_dimensions":{"columns":{"65535":{"col_num":65535,"width":null,)"
            R"("hidden":false,"collapsed":true,"level":4294967295}},"default_width":22.5},)"
            R"("comments":[{"row":7,"column":2,"author":"Ann \"A\"","text":"line\none"},)"
            R"({"row":1,"column":1,"author":"","text":""}]})");
}

TEST(JsonWriter, EveryControlCharacterIsEscaped) {
  for (int c = 0; c < 0x20; ++c) {
    char expected[8];
    switch (c) {
      case '\b': std::snprintf(expected, sizeof expected, "\\b"); break;
      case '\t': std::snprintf(expected, sizeof expected, "\\t"); break;
      case '\n': std::snprintf(expected, sizeof expected, "\\n"); break;
      case '\f': std::snprintf(expected, sizeof expected, "\\f"); break;
      case '\r': std::snprintf(expected, sizeof expected, "\\r"); break;
      default: std::snprintf(expected, sizeof expected, "\\u%04x", c);
    }
    EXPECT_EQ(escaped(std::string(1, static_cast<char>(c))), '"' + std::string(expected) + '"')
        << "char " << c;
  }
}

TEST(JsonWriter, StringEscaping) {
  const struct {
    std::string_view text;
    const char* expected;
  } cases[] = {
      {"", R"("")"},
      {"\"", R"("\"")"},
      {"\\", R"("\\")"},
      {"/", R"("/")"},
      {"\x7f", "\"\x7f\""},
      {"\xe2\x80\xa8", "\"\xe2\x80\xa8\""},             // U+2028
      {"\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80", "\"\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80\""},
      {"say \"hi\"\\n\n\xc3\xa9", R"("say \"hi\"\\n\n)" "\xc3\xa9\""},
      {"\x1f" "ab\x0b" "cd\x01", R"("\u001fab\u000bcd\u0001")"},
      {std::string_view("a\0b", 3), R"("a\u0000b")"},
  };
  for (const auto& c : cases) EXPECT_EQ(escaped(c.text), c.expected) << c.expected;

  Book book;
  add_sheet(book, "Q\"1\t", "very\\hidden");
  EXPECT_NE(document(book).find(R"("name":"Q\"1\t","sheet_state":"very\\hidden")"),
            std::string::npos);
}

}  // namespace
}  // namespace tabulon
