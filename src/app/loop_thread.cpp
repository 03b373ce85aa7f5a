// The frame loop's pacing: about every 15 ms, intervals of 300 ms or more dropped.
#include "app/loop_thread.h"

#include <algorithm>

namespace kivo {

TFrameTiming& FrameTiming() {
  static TFrameTiming timing;
  return timing;
}

TLoopThread::TLoopThread(ILoopTiming& timing, TFrameTiming& clock, std::function<void()> callback, UiRunner runOnUi)
    : timing_(timing), clock_(clock), callback_(std::move(callback)), runOnUi_(std::move(runOnUi)) {}

TLoopThread::~TLoopThread() {
  terminated_ = true;
  Resume();
  timing_.Wake();
  if (thread_.joinable()) thread_.join();
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

uint32_t TLoopThread::AcceptInterval(uint32_t now, uint32_t& previous, TFrameTiming& clock, bool& runTick) {
  int32_t diff = static_cast<int32_t>(now - previous);
  previous = now;
  runTick = diff < 300;
  if (!runTick) return 1;  // a stall: the interval is dropped, the game clock stays
  clock.totalTime += diff;
  clock.frameDelta = diff;
  clock.lastTickTime = now;
  return static_cast<uint32_t>(std::max<int32_t>(1, 15 - diff));
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
    bool runTick = false;
    waitTime = AcceptInterval(timing_.Now(), previous, clock_, runTick);
    if (runTick && callback_) runOnUi_(callback_);
  }
}

}  // namespace kivo
