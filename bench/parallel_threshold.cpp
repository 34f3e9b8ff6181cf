// Where do the parallel primitives start to pay off? Times the serial and the pooled path
// of each primitive over growing inputs, with a per-item cost like a search's: one JIT match
// of a short cell text. The crossover sizes set the thresholds in core/parallel.hpp.
//
// Build: cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULON_PYTHON=OFF
//              -DTABULON_CORE_BENCH=ON && cmake --build build/bench -j2
// Run:   build/bench/parallel_threshold
//
// Two regimes: "awake" calls back to back, so the workers are still spinning; "idle"
// sleeps 5 ms before each call, so the workers have gone to sleep and must be woken, as
// between two searches of a Python program.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/parallel.hpp"
#include "core/regex.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using tabulon::Regex;
namespace detail = tabulon::parallel::detail;

// Median microseconds of `trials` calls of `run`, each after `prepare` (not timed).
template <class Prepare, class Run>
double median_us(int trials, bool idle, Prepare prepare, Run run) {
  std::vector<double> times;
  for (int t = 0; t < trials; ++t) {
    prepare();
    if (idle) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto start = Clock::now();
    run();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + trials / 2, times.end());
  return times[static_cast<std::size_t>(trials / 2)];
}

std::vector<std::string> cell_texts(std::size_t n) {
  static const char* const kWords[] = {"Revenue", "North", "Q3", "Cost of sales", "EBITDA",
                                       "Headcount", "2024-03-31", "Forecast"};
  std::vector<std::string> texts;
  texts.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    // One text in ten carries the word the filter keeps.
    texts.push_back(i % 10 == 7 ? "Sub total " + std::to_string(i)
                                : std::string(kWords[i % 8]) + " " + std::to_string(i * 37 % 10007));
  }
  return texts;
}

void report(const char* name, std::size_t n, double serial, double pooled) {
  std::printf("  %-10s n=%6zu  serial %9.1f us  pooled %9.1f us  ratio %5.2f\n", name, n, serial,
              pooled, serial / pooled);
}

}  // namespace

int main() {
  const std::size_t kMax = 65536;
  const std::vector<std::string> texts = cell_texts(kMax);
  const Regex never = std::move(Regex::compile("(?i)grand total")).value();
  const Regex some = std::move(Regex::compile("(?i)total")).value();

  {
    const auto start = Clock::now();
    std::size_t hits = 0;
    for (int round = 0; round < 20; ++round) {
      for (const auto& text : texts) hits += some.matches(text);
    }
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    std::printf("jit %d, %.1f ns per match (%zu hits), %d workers\n", some.uses_jit(),
                ns / (20.0 * kMax), hits, tbb::this_task_arena::max_concurrency());
  }

  std::mt19937_64 random(42);
  std::vector<std::pair<std::uint64_t, const void*>> shuffled(kMax);
  for (auto& entry : shuffled) entry = {random(), nullptr};
  std::vector<std::pair<std::uint64_t, const void*>> work;
  auto by_key = [](const auto& a, const auto& b) { return a.first < b.first; };

  for (bool idle : {false, true}) {
    std::printf("%s\n", idle ? "idle (5 ms sleep before each call)" : "awake (back to back)");
    const int trials = idle ? 101 : 301;
    for (std::size_t n = 256; n <= kMax; n *= 2) {
      auto never_at = [&](std::size_t i) { return never.matches(texts[i]); };
      auto some_at = [&](std::size_t i) -> std::optional<std::size_t> {
        if (some.matches(texts[i])) return i;
        return std::nullopt;
      };
      auto nothing = [] {};
      // Warm the pool up before each timing so thread creation is never counted.
      (void)detail::find_first_pooled(n, never_at);
      report("find_first", n,
             median_us(trials, idle, nothing, [&] { (void)detail::find_first_serial(n, never_at); }),
             median_us(trials, idle, nothing, [&] { (void)detail::find_first_pooled(n, never_at); }));
      report("filter", n,
             median_us(trials, idle, nothing,
                       [&] { (void)detail::filter_map_serial<std::size_t>(n, some_at); }),
             median_us(trials, idle, nothing,
                       [&] { (void)detail::filter_map_pooled<std::size_t>(n, some_at); }));
      auto reset = [&] { work.assign(shuffled.begin(), shuffled.begin() + static_cast<long>(n)); };
      report("sort", n,
             median_us(trials, idle, reset, [&] { std::sort(work.begin(), work.end(), by_key); }),
             median_us(trials, idle, reset,
                       [&] { tbb::parallel_sort(work.begin(), work.end(), by_key); }));
    }
  }
}
