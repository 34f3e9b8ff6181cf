#pragma once
// The finder: a frozen, ordered collection of taken-in sheets, queried by name or pattern.
// Nothing writes to it or to its sheets after it is built, so every lock here is a reader.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/regex.hpp"
#include "core/rwlock.hpp"
#include "core/shared.hpp"
#include "core/sheet.hpp"

namespace tabulon {

struct Finder : SharedRecord {
  explicit Finder(std::vector<SheetRef> sheets) : sheets(std::move(sheets)) {}

  mutable RecordLock lock;
  std::vector<SheetRef> sheets;
};

using FinderRef = Shared<Finder>;

// The lowest position whose sheet name equals `name` byte for byte.
std::optional<std::size_t> find_sheet_by_name(const Finder& finder, std::string_view name);
// The lowest position whose sheet name the pattern matches anywhere.
std::optional<std::size_t> find_sheet_by_regex(const Finder& finder, const Regex& pattern);
// Positions, in order, of the sheets whose name is (or, with keep_listed false, is not) in
// `names`.
std::vector<std::size_t> sheets_by_names(const Finder& finder, const std::vector<std::string>& names,
                                         bool keep_listed);

}  // namespace tabulon
