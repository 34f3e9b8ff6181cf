#pragma once
// Data-parallel primitives over an index range [0, n), on the process-wide oneTBB pool.
//
// Callers pass predicates that are safe to call from several threads at once; every result
// is the one a sequential scan would give, whatever the scheduling. Small inputs run
// serially on the calling thread. The pool follows the process's CPU affinity: under
// `taskset -c 0` tbb::this_task_arena::max_concurrency() is 1 (checked with oneTBB 2021.8).
//
// Predicates are expected not to throw. If one does, the remaining work is cancelled and
// the exception is rethrown in the calling thread.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_sort.h>
#include <tbb/task_arena.h>

namespace tabulon::parallel {

// Inputs smaller than these run serially. Measured with bench/parallel_threshold.cpp on the
// shared 2-core machine (oneTBB 2021.8, 2 workers), per item one JIT match of a short cell
// text (28-41 ns). Median µs, serial -> pooled, first when the workers are still awake from
// the previous call, then after 5 ms idle when the one other worker must be woken:
//
//   find_first (full scan)   awake           after idle
//     n =  2048              63 ->  36        70 ->  107
//     n =  4096             144 ->  73       118 ->  166
//     n =  8192             265 -> 148       269 ->  324
//     n = 16384             470 -> 273       543 ->  584
//     n = 65536            2226 -> 1185     2276 -> 2073
//
// Waking a sleeping worker costs from tens of µs to over a millisecond on this machine, so
// the idle case loses a roughly fixed amount up to ~32k items, while the awake gain (1.7-1.9x
// from 2048 items on, in two runs) grows with n. The thresholds sit where the awake gain is
// near its full 1.8x and the idle loss is down to 5-20%.
inline constexpr std::size_t kFindFirstSerialBelow = 8192;
//   filter (one item in ten kept)
//     n =  4096             138 ->  83       138 ->  168
//     n =  8192             172 -> 155       319 ->  370
//     n = 16384             440 -> 315       567 ->  633
//   (awake ratio at 8192 was 1.11 and 1.97 in two runs; idle 0.86 and 0.98)
inline constexpr std::size_t kFilterSerialBelow = 8192;
//   sort of (64-bit key, pointer) pairs in random order, by key
//     n =  8192             259 -> 181       386 ->  454
//     n = 16384             820 -> 433       842 ->  932
//     n = 32768            1738 -> 1039     1768 -> 1950
//   (below 500 items oneTBB sorts serially itself)
inline constexpr std::size_t kSortSerialBelow = 16384;

// oneTBB does not survive fork(): a child inherits the pool's state but not its threads.
// The first process to enter the pool owns it; in any other process (a forked child) this
// returns false and every primitive runs serially without touching the pool. A child
// forked before any parallel work may still become the owner itself.
bool pool_usable() noexcept;

namespace detail {

template <class Pred>
std::optional<std::size_t> find_first_serial(std::size_t n, Pred& pred) {
  for (std::size_t i = 0; i < n; ++i) {
    if (pred(i)) return i;
  }
  return std::nullopt;
}

template <class Pred>
std::optional<std::size_t> find_first_pooled(std::size_t n, Pred& pred) {
  // The lowest match found so far; n while there is none. Only ever lowered.
  std::atomic<std::size_t> best{n};
  tbb::parallel_for(tbb::blocked_range<std::size_t>(0, n),
                    [&](const tbb::blocked_range<std::size_t>& stretch) {
                      for (std::size_t i = stretch.begin(); i != stretch.end(); ++i) {
                        // Also skips a whole stretch that starts past the best match.
                        if (i >= best.load(std::memory_order_relaxed)) return;
                        if (pred(i)) {
                          std::size_t seen = best.load(std::memory_order_relaxed);
                          while (i < seen && !best.compare_exchange_weak(seen, i)) {
                          }
                          return;
                        }
                      }
                    });
  const std::size_t found = best.load();
  return found < n ? std::optional<std::size_t>(found) : std::nullopt;
}

template <class T, class F>
std::vector<T> filter_map_serial(std::size_t n, F& f) {
  std::vector<T> out;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::optional<T> value = f(i)) out.push_back(std::move(*value));
  }
  return out;
}

// Several stretches per worker, so a stretch of costly items can be balanced by stealing.
inline constexpr std::size_t kStretchesPerWorker = 16;

template <class T, class F>
std::vector<T> filter_map_pooled(std::size_t n, F& f) {
  const auto workers = static_cast<std::size_t>(tbb::this_task_arena::max_concurrency());
  const std::size_t stretches = std::min(n, std::max<std::size_t>(workers, 1) * kStretchesPerWorker);
  // Each stretch fills its own slot; joining the slots in stretch order keeps index order.
  std::vector<std::vector<T>> slots(stretches);
  tbb::parallel_for(tbb::blocked_range<std::size_t>(0, stretches),
                    [&](const tbb::blocked_range<std::size_t>& range) {
                      for (std::size_t s = range.begin(); s != range.end(); ++s) {
                        const std::size_t end = (s + 1) * n / stretches;
                        for (std::size_t i = s * n / stretches; i != end; ++i) {
                          if (std::optional<T> value = f(i)) slots[s].push_back(std::move(*value));
                        }
                      }
                    });
  std::size_t total = 0;
  for (const auto& slot : slots) total += slot.size();
  std::vector<T> out;
  out.reserve(total);
  for (auto& slot : slots) {
    out.insert(out.end(), std::make_move_iterator(slot.begin()), std::make_move_iterator(slot.end()));
  }
  return out;
}

}  // namespace detail

// The lowest index i in [0, n) for which pred(i) holds, or nullopt. Indices past a match
// already found are not examined.
template <class Pred>
std::optional<std::size_t> find_first(std::size_t n, Pred pred) {
  if (n < kFindFirstSerialBelow || !pool_usable()) return detail::find_first_serial(n, pred);
  return detail::find_first_pooled(n, pred);
}

// Every T that f(i) returns (as std::optional<T>) for i in [0, n), in index order.
template <class T, class F>
std::vector<T> filter_map(std::size_t n, F f) {
  if (n < kFilterSerialBelow || !pool_usable()) return detail::filter_map_serial<T>(n, f);
  return detail::filter_map_pooled<T>(n, f);
}

// Every index i in [0, n) for which pred(i) holds, ascending.
template <class Pred>
std::vector<std::size_t> filter(std::size_t n, Pred pred) {
  return filter_map<std::size_t>(n, [&pred](std::size_t i) -> std::optional<std::size_t> {
    if (pred(i)) return i;
    return std::nullopt;
  });
}

// Sorts [first, last) by `less`; not stable, like std::sort.
template <class It, class Less>
void sort(It first, It last, Less less) {
  const auto n = static_cast<std::size_t>(std::distance(first, last));
  if (n < kSortSerialBelow || !pool_usable()) {
    std::sort(first, last, less);
    return;
  }
  tbb::parallel_sort(first, last, less);
}

}  // namespace tabulon::parallel
