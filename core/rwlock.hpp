#pragma once
// Reader/writer locks. Cells carry a 2-byte lock (a std::shared_mutex is 56 bytes and a
// sheet holds millions of cells); sheets, books and finders use std::shared_mutex.
// Cell locks are held for a few field copies at a time, so waiters spin and yield; the
// uncontended path is one atomic operation each way, with no system call.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <thread>

namespace tabulon {

class TinyRwLock {
 public:
  void lock_shared() noexcept {
    std::uint16_t state = state_.load(std::memory_order_relaxed);
    for (unsigned spins = 0;; ++spins) {
      if ((state & kWriter) == 0 && (state & kReaders) != kReaders &&
          state_.compare_exchange_weak(state, static_cast<std::uint16_t>(state + 1),
                                       std::memory_order_acquire, std::memory_order_relaxed)) {
        return;
      }
      backoff(spins);
      state = state_.load(std::memory_order_relaxed);
    }
  }
  void unlock_shared() noexcept { state_.fetch_sub(1, std::memory_order_release); }

  void lock() noexcept {
    for (unsigned spins = 0;; ++spins) {
      std::uint16_t expected = 0;
      if (state_.compare_exchange_weak(expected, kWriter, std::memory_order_acquire,
                                       std::memory_order_relaxed)) {
        return;
      }
      backoff(spins);
    }
  }
  void unlock() noexcept { state_.store(0, std::memory_order_release); }

 private:
  // Holders only copy a few fields, so a short spin almost always wins; past that, give the
  // core away rather than burn it (the holder may have been preempted).
  static void backoff(unsigned spins) noexcept {
    if (spins >= 64) std::this_thread::yield();
  }

  static constexpr std::uint16_t kWriter = 0x8000;
  static constexpr std::uint16_t kReaders = 0x7FFF;
  std::atomic<std::uint16_t> state_{0};
};

using RecordLock = std::shared_mutex;

template <class Lock>
using ReadGuard = std::shared_lock<Lock>;
template <class Lock>
using WriteGuard = std::unique_lock<Lock>;

}  // namespace tabulon
