// The millisecond clock of the frame loop and the auto-reset event it sleeps on.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kivo {

// Milliseconds of a steady clock, wrapping at 32 bits like the multimedia timer.
uint32_t TimeGetTime();

// An auto-reset event: Set wakes one waiter (or the next one to wait) and resets itself.
class TAutoResetEvent {
public:
  void Set();
  // True when signalled, false on time-out.
  bool WaitFor(uint32_t milliseconds);

private:
  std::mutex mutex_;
  std::condition_variable condition_;
  bool signalled_ = false;
};

}  // namespace kivo
