// The frame thread: it sleeps on its wake event and hands one tick at a time to the UI thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "support/frame_timing.h"
#include "platform/clock.h"

namespace kivo {

// The clock and the sleep of the frame thread. The real one is the steady clock and the wake
// event; the headless one advances a virtual clock by a fixed delta on every wait.
class ILoopTiming {
public:
  virtual ~ILoopTiming() = default;
  virtual uint32_t Now() = 0;
  // Sleeps up to ms; true when woken by Wake() rather than by the time-out.
  virtual bool Wait(uint32_t ms) = 0;
  virtual void Wake() = 0;
};

class TRealLoopTiming : public ILoopTiming {
public:
  uint32_t Now() override { return TimeGetTime(); }
  bool Wait(uint32_t ms) override { return event_.WaitFor(ms); }
  void Wake() override { event_.Set(); }

private:
  TAutoResetEvent event_;
};

class THeadlessLoopTiming : public ILoopTiming {
public:
  explicit THeadlessLoopTiming(uint32_t tickMs) : tickMs_(tickMs) {}
  uint32_t Now() override { return now_.load(); }
  bool Wait(uint32_t) override {
    now_ += tickMs_;
    return woken_.exchange(false);
  }
  void Wake() override { woken_ = true; }

private:
  uint32_t tickMs_;
  std::atomic<uint32_t> now_{0};
  std::atomic<bool> woken_{false};
};

// Runs a task on the UI thread and returns when it has run, or when `cancelled` says so.
using UiRunner = std::function<void(std::function<void()> task)>;

class TLoopThread {
public:
  // The callback is the tick; runOnUi hands it to the UI thread synchronously.
  TLoopThread(ILoopTiming& timing, TFrameTiming& clock, std::function<void()> callback, UiRunner runOnUi);
  ~TLoopThread();  // terminates, resumes, wakes and joins
  TLoopThread(const TLoopThread&) = delete;
  TLoopThread& operator=(const TLoopThread&) = delete;

  void Start();
  // Ends the loop without waiting for it: the thread takes no further interval once the tick it
  // may be handing over returns.
  void Stop();
  void Suspend();
  void Resume();
  bool Terminated() const { return terminated_; }

  // One pass of the loop after the wait: accepts the interval since `previous` into the game clock,
  // or drops it (300 ms or more). Returns whether the tick runs. Exposed for tests.
  static bool AcceptInterval(uint32_t now, uint32_t& previous, TFrameTiming& clock);
  // The sleep before the next tick: the rest of the 15 ms period that began at the last wake-up.
  static uint32_t NextWait(uint32_t elapsedSinceWake);

private:
  void Run();

  ILoopTiming& timing_;
  TFrameTiming& clock_;
  std::function<void()> callback_;
  UiRunner runOnUi_;
  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::mutex suspendMutex_;
  std::condition_variable resumed_;
  bool suspended_ = false;
};

}  // namespace kivo
