// Steady millisecond clock and auto-reset event.
#include "platform/clock.h"

#include <chrono>

namespace kivo {

uint32_t TimeGetTime() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TAutoResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  condition_.notify_one();
}

bool TAutoResetEvent::WaitFor(uint32_t milliseconds) {
  std::unique_lock lock(mutex_);
  bool signalled = condition_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return signalled_; });
  signalled_ = false;
  return signalled;
}

}  // namespace kivo
