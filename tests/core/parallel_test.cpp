#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/parallel.hpp"

namespace tabulon {
namespace {

using Pred = std::function<bool(std::size_t)>;

// Big enough to split into many stretches on any pool.
constexpr std::size_t kLarge = 200'000;

struct Selection {
  const char* name;
  Pred pred;
};

// Which indices match; each runs over inputs of every size below.
std::vector<Selection> selections(std::size_t n) {
  return {
      {"none", [](std::size_t) { return false; }},
      {"all", [](std::size_t) { return true; }},
      {"sparse", [](std::size_t i) { return i % 9973 == 17; }},
      {"dense", [](std::size_t i) { return i % 3 != 0; }},
      {"first only", [](std::size_t i) { return i == 0; }},
      {"last only", [n](std::size_t i) { return i + 1 == n; }},
      {"second half", [n](std::size_t i) { return i >= n / 2; }},
  };
}

const std::size_t kSizes[] = {0,
                              1,
                              parallel::kFilterSerialBelow - 1,
                              parallel::kFindFirstSerialBelow,
                              kLarge};

std::optional<std::size_t> first_oracle(std::size_t n, const Pred& pred) {
  for (std::size_t i = 0; i < n; ++i) {
    if (pred(i)) return i;
  }
  return std::nullopt;
}

std::vector<std::size_t> filter_oracle(std::size_t n, const Pred& pred) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < n; ++i) {
    if (pred(i)) out.push_back(i);
  }
  return out;
}

TEST(Parallel, FindFirstGivesTheLowestMatchingIndex) {
  for (std::size_t n : kSizes) {
    for (const Selection& s : selections(n)) {
      EXPECT_EQ(parallel::find_first(n, s.pred), first_oracle(n, s.pred))
          << s.name << ", n=" << n;
    }
  }
}

// Waits until `flag` is set, or gives up after `limit` (a pool of one thread never sets it).
void wait_for(const std::atomic<bool>& flag, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!flag.load() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
}

TEST(Parallel, FindFirstIsLeftmostWhateverOrderStretchesReport) {
  // Every 1000th index matches; the leftmost match, 999, is held back so that a stretch
  // further right reports its match either before it or after it.
  for (bool right_reports_first : {true, false}) {
    for (int round = 0; round < 3; ++round) {
      std::atomic<bool> right_seen{false};
      auto pred = [&](std::size_t i) {
        if (i % 1'000 != 999) return false;
        if (i == 999) {
          wait_for(right_seen, std::chrono::milliseconds(200));
          if (right_reports_first) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } else {
          right_seen = true;
          if (!right_reports_first) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
      };
      EXPECT_EQ(parallel::find_first(kLarge, pred), std::optional<std::size_t>(999))
          << (right_reports_first ? "right reports first" : "right reports last");
    }
  }
}

TEST(Parallel, FilterKeepsEveryMatchInIndexOrder) {
  for (std::size_t n : kSizes) {
    for (const Selection& s : selections(n)) {
      EXPECT_EQ(parallel::filter(n, s.pred), filter_oracle(n, s.pred)) << s.name << ", n=" << n;
    }
  }
}

TEST(Parallel, FilterMapKeepsValuesInIndexOrder) {
  for (std::size_t n : kSizes) {
    for (const Selection& s : selections(n)) {
      auto text_of = [&](std::size_t i) -> std::optional<std::string> {
        if (!s.pred(i)) return std::nullopt;
        return "cell " + std::to_string(i);
      };
      std::vector<std::string> expected;
      for (std::size_t i : filter_oracle(n, s.pred)) expected.push_back("cell " + std::to_string(i));
      EXPECT_EQ(parallel::filter_map<std::string>(n, text_of), expected) << s.name << ", n=" << n;
    }
  }
}

TEST(Parallel, PredicateExceptionReachesTheCaller) {
  auto throws_late = [](std::size_t i) -> bool {
    if (i == kLarge - 10) throw std::runtime_error("bad cell");
    return false;
  };
  EXPECT_THROW((void)parallel::find_first(kLarge, throws_late), std::runtime_error);
  EXPECT_THROW((void)parallel::filter(kLarge, throws_late), std::runtime_error);
  // The pool stays usable afterwards.
  EXPECT_EQ(parallel::filter(kLarge, [](std::size_t i) { return i % 50'000 == 0; }),
            (std::vector<std::size_t>{0, 50'000, 100'000, 150'000}));
}

using Entry = std::pair<std::uint64_t, std::uint32_t>;

TEST(Parallel, SortAgreesWithStdSort) {
  std::mt19937_64 random(7);
  struct Input {
    const char* name;
    std::vector<Entry> entries;
  };
  std::vector<Input> inputs;
  for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, kLarge}) {
    std::vector<Entry> entries(n);
    // Keys with many duplicates, payloads unique: the comparator looks at both.
    for (std::size_t i = 0; i < n; ++i) entries[i] = {random() % 1000, static_cast<std::uint32_t>(i)};
    inputs.push_back({"random", entries});
    std::sort(entries.begin(), entries.end());
    inputs.push_back({"sorted", entries});
    std::reverse(entries.begin(), entries.end());
    inputs.push_back({"reversed", entries});
  }
  // A comparator that is not operator<: key descending, then payload ascending.
  auto less = [](const Entry& a, const Entry& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  };
  for (Input& input : inputs) {
    std::vector<Entry> expected = input.entries;
    std::sort(expected.begin(), expected.end(), less);
    parallel::sort(input.entries.begin(), input.entries.end(), less);
    EXPECT_EQ(input.entries, expected) << input.name << ", n=" << expected.size();
  }
}

// Runs every primitive on large input in a forked child; the exit code names what failed.
int child_checks() {
  if (parallel::pool_usable()) return 10;
  const Pred sparse = [](std::size_t i) { return i % 9973 == 17; };
  if (parallel::find_first(kLarge, sparse) != first_oracle(kLarge, sparse)) return 11;
  if (parallel::filter(kLarge, sparse) != filter_oracle(kLarge, sparse)) return 12;
  auto doubled = [&](std::size_t i) -> std::optional<std::size_t> {
    if (!sparse(i)) return std::nullopt;
    return 2 * i;
  };
  std::vector<std::size_t> expected = filter_oracle(kLarge, sparse);
  for (std::size_t& v : expected) v *= 2;
  if (parallel::filter_map<std::size_t>(kLarge, doubled) != expected) return 13;
  std::vector<std::size_t> keys(kLarge);
  std::iota(keys.rbegin(), keys.rend(), std::size_t{0});
  parallel::sort(keys.begin(), keys.end(), std::less<>());
  if (!std::is_sorted(keys.begin(), keys.end())) return 14;
  return 0;
}

TEST(Parallel, ForkedChildRunsSeriallyAndFinishes) {
  // The parent owns the pool, and its workers are running, when it forks.
  ASSERT_EQ(parallel::filter(kLarge, [](std::size_t i) { return i == 7; }),
            std::vector<std::size_t>{7});
  ASSERT_TRUE(parallel::pool_usable());

  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) _exit(child_checks());

  int status = 0;
  pid_t waited = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((waited = waitpid(child, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (waited == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "forked child hung";
  }
  ASSERT_EQ(waited, child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: child may use the pool, 11-14: a primitive failed";
}

}  // namespace
}  // namespace tabulon
