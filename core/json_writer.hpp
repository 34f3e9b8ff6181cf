#pragma once
// The book as one compact JSON document: the external interface the file-producing program
// reads, so member order, omissions and number and string forms are fixed.

#include <span>
#include <string>
#include <string_view>

#include "core/book.hpp"
#include "core/result.hpp"
#include "core/sheet.hpp"

namespace tabulon {

// The whole book. Holds the book's lock shared throughout and takes each sheet's, then each
// cell's or comment's, shared one at a time. Nothing the model holds makes this fail; running
// out of memory is not an Error here: std::bad_alloc propagates and the binding reports it as
// MemoryError.
Result<std::string> write_document(const Book& book);

// {"sheets":[...]} for `sheets`, appended to `out`. The caller keeps the list itself stable
// (the book's read lock); sheet, cell and comment locks are taken here.
void write_sheets(std::span<const SheetRef> sheets, std::string& out);

// One sheet object, appended to `out`, under the sheet's read lock.
void write_sheet(const Sheet& sheet, std::string& out);

// `text` as a JSON string with the minimal escaping: '"', '\\' and the characters below
// U+0020 only; everything else, non-ASCII included, is copied as is.
void write_json_string(std::string_view text, std::string& out);

}  // namespace tabulon
