#pragma once
// Placeholder until the worker-pool primitives land: serial versions of the same API.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace tabulon::parallel {

template <class It, class Less>
void sort(It first, It last, Less less) {
  std::sort(first, last, less);
}

template <class Pred>
std::vector<std::size_t> filter(std::size_t n, Pred pred) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < n; ++i)
    if (pred(i)) out.push_back(i);
  return out;
}

}  // namespace tabulon::parallel
