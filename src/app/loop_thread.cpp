// The frame loop's pacing: about every 15 ms, intervals of 300 ms or more dropped.
#include "app/loop_thread.h"

#include <algorithm>

namespace kivo {

TLoopThread::TLoopThread(ILoopTiming& timing, TFrameTiming& clock, std::function<void()> callback, UiRunner runOnUi)
    : timing_(timing), clock_(clock), callback_(std::move(callback)), runOnUi_(std::move(runOnUi)) {}

TLoopThread::~TLoopThread() {
  Stop();
  if (thread_.joinable()) thread_.join();
}

void TLoopThread::Stop() {
  terminated_ = true;
  Resume();
  timing_.Wake();
}

void TLoopThread::Start() { thread_ = std::thread([this] { Run(); }); }

void TLoopThread::Suspend() {
  std::lock_guard lock(suspendMutex_);
  suspended_ = true;
}

void TLoopThread::Resume() {
  {
    std::lock_guard lock(suspendMutex_);
    suspended_ = false;
  }
  resumed_.notify_all();
}

bool TLoopThread::AcceptInterval(uint32_t now, uint32_t& previous, TFrameTiming& clock) {
  int32_t diff = static_cast<int32_t>(now - previous);
  previous = now;
  if (diff >= 300) return false;  // a stall: the interval is dropped, the game clock stays
  clock.totalTime += diff;
  clock.frameDelta = diff;
  clock.lastTickTime = now;
  return true;
}

// Waiting "15 ms minus the last interval" relies on a timer that rounds short sleeps up to its
// 15.6 ms tick; with exact sleeps it alternates 1 ms and 14 ms intervals. Sleeping for the rest of
// the period keeps ticks evenly about 15 ms apart, as they were meant to be.
uint32_t TLoopThread::NextWait(uint32_t elapsedSinceWake) {
  return elapsedSinceWake >= 14 ? 1 : 15 - elapsedSinceWake;
}

void TLoopThread::Run() {
  uint32_t previous = timing_.Now();
  uint32_t waitTime = 1;
  while (!terminated_) {
    if (timing_.Wait(std::max<uint32_t>(1, waitTime))) break;
    {
      std::unique_lock lock(suspendMutex_);
      resumed_.wait(lock, [this] { return !suspended_ || terminated_; });
    }
    if (terminated_) break;
    uint32_t wake = timing_.Now();
    if (AcceptInterval(wake, previous, clock_)) {
      if (callback_) runOnUi_(callback_);
      waitTime = NextWait(timing_.Now() - wake);
    } else {
      waitTime = 1;
    }
  }
}

}  // namespace kivo
