#include "core/parallel.hpp"

#include <sys/types.h>
#include <unistd.h>

namespace tabulon::parallel {
namespace {

// The process that owns the pool; 0 until the first parallel run claims it. A forked child
// inherits the parent's value and so sees a pid that is not its own.
std::atomic<pid_t> pool_owner{0};

}  // namespace

bool pool_usable() noexcept {
  const pid_t self = getpid();
  pid_t owner = pool_owner.load(std::memory_order_acquire);
  if (owner == 0 && pool_owner.compare_exchange_strong(owner, self)) return true;
  // A failed exchange has loaded the winner into `owner`.
  return owner == self;
}

}  // namespace tabulon::parallel
