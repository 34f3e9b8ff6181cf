#include "core/finder.hpp"

#include "core/parallel.hpp"

namespace tabulon {
namespace {

// Runs `test` on each sheet's name under that sheet's read lock; the caller holds the
// finder's read lock.
template <class Test>
auto name_test(const Finder& finder, Test& test) {
  return [&finder, &test](std::size_t i) {
    const Sheet& sheet = *finder.sheets[i];
    ReadGuard<RecordLock> read(sheet.lock);
    return test(std::string_view(sheet.name));
  };
}

}  // namespace

std::optional<std::size_t> find_sheet_by_name(const Finder& finder, std::string_view name) {
  ReadGuard<RecordLock> read(finder.lock);
  auto test = [&](std::string_view sheet_name) { return sheet_name == name; };
  return parallel::find_first(finder.sheets.size(), name_test(finder, test));
}

std::optional<std::size_t> find_sheet_by_regex(const Finder& finder, const Regex& pattern) {
  ReadGuard<RecordLock> read(finder.lock);
  auto test = [&](std::string_view sheet_name) { return pattern.matches(sheet_name); };
  return parallel::find_first(finder.sheets.size(), name_test(finder, test));
}

std::vector<std::size_t> sheets_by_names(const Finder& finder, const std::vector<std::string>& names,
                                         bool keep_listed) {
  ReadGuard<RecordLock> read(finder.lock);
  auto test = [&](std::string_view sheet_name) {
    bool listed = false;
    for (const std::string& n : names) {
      if (n == sheet_name) {
        listed = true;
        break;
      }
    }
    return listed == keep_listed;
  };
  return parallel::filter(finder.sheets.size(), name_test(finder, test));
}

}  // namespace tabulon
