#include "core/book.hpp"

namespace tabulon {

SheetRef add_sheet(Book& book, std::string name, std::string sheet_state) {
  SheetRef sheet = SheetRef::make(std::move(name), std::move(sheet_state));
  WriteGuard<RecordLock> write(book.lock);
  book.sheets.push_back(sheet);
  return sheet;
}

SheetRef copy_sheet_into(Book& book, const SheetRef& source) {
  // Book first, then the source sheet: the one lock order, also when the source belongs to
  // this very book.
  WriteGuard<RecordLock> write(book.lock);
  SheetRef copy;
  {
    ReadGuard<RecordLock> read(source->lock);
    copy = copy_sheet(*source, "Sheet " + std::to_string(book.sheets.size() + 1));
  }
  book.sheets.push_back(copy);
  return copy;
}

SheetRef sheet_at(const Book& book, long long index) {
  ReadGuard<RecordLock> read(book.lock);
  if (index < 0 || static_cast<std::size_t>(index) >= book.sheets.size()) return {};
  return book.sheets[static_cast<std::size_t>(index)];
}

SheetRef sheet_named(const Book& book, std::string_view name) {
  ReadGuard<RecordLock> read(book.lock);
  for (const SheetRef& sheet : book.sheets) {
    ReadGuard<RecordLock> sheet_read(sheet->lock);
    if (sheet->name == name) return sheet;
  }
  return {};
}

}  // namespace tabulon
