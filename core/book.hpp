#pragma once
// The book: an ordered list of sheets behind one lock. Sheets are never removed.

#include <string>
#include <vector>

#include "core/rwlock.hpp"
#include "core/shared.hpp"
#include "core/sheet.hpp"

namespace tabulon {

struct Book : SharedRecord {
  mutable RecordLock lock;
  std::vector<SheetRef> sheets;
};

using BookRef = Shared<Book>;

SheetRef add_sheet(Book& book, std::string name, std::string sheet_state);
// Copies `source` (from this book or any other) under the name "Sheet N", N being the new
// sheet's 1-based position, and appends it.
SheetRef copy_sheet_into(Book& book, const SheetRef& source);
// The sheet at a 0-based position, or null; negative positions do not count from the end.
SheetRef sheet_at(const Book& book, long long index);
// The first sheet whose name equals `name` byte for byte, or null.
SheetRef sheet_named(const Book& book, std::string_view name);

}  // namespace tabulon
