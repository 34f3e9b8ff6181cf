#pragma once
// Records are shared through an intrusive, atomically counted handle: one pointer per
// handle and a 4-byte count in the record, where std::shared_ptr would cost two pointers
// per handle and a separate control block. Millions of cells make the difference matter.

#include <atomic>
#include <cstdint>
#include <utility>

namespace tabulon {

class SharedRecord {
 public:
  SharedRecord() noexcept = default;
  SharedRecord(const SharedRecord&) noexcept {}  // a copy is a new record with its own count
  SharedRecord& operator=(const SharedRecord&) noexcept { return *this; }

  std::uint32_t use_count() const noexcept { return refs_.load(std::memory_order_acquire); }

 protected:
  ~SharedRecord() = default;

 private:
  template <class T>
  friend class Shared;
  mutable std::atomic<std::uint32_t> refs_{0};
};

// A counted handle on a record derived from SharedRecord. Null when default-constructed.
template <class T>
class Shared {
 public:
  Shared() noexcept = default;
  explicit Shared(T* record) noexcept : record_(record) { retain(); }
  Shared(const Shared& other) noexcept : record_(other.record_) { retain(); }
  Shared(Shared&& other) noexcept : record_(std::exchange(other.record_, nullptr)) {}
  Shared& operator=(Shared other) noexcept {
    std::swap(record_, other.record_);
    return *this;
  }
  ~Shared() { release(); }

  template <class... Args>
  static Shared make(Args&&... args) {
    return Shared(new T(std::forward<Args>(args)...));
  }

  T* get() const noexcept { return record_; }
  T& operator*() const noexcept { return *record_; }
  T* operator->() const noexcept { return record_; }
  explicit operator bool() const noexcept { return record_ != nullptr; }
  friend bool operator==(const Shared& a, const Shared& b) noexcept {
    return a.record_ == b.record_;
  }

 private:
  void retain() const noexcept {
    if (record_) record_->refs_.fetch_add(1, std::memory_order_relaxed);
  }
  void release() noexcept {
    if (record_ && record_->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete record_;
  }
  T* record_ = nullptr;
};

}  // namespace tabulon
