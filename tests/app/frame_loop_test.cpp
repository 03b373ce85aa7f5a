// Pacing of the frame thread and the game clock.
#include <gtest/gtest.h>

#include <atomic>

#include "app/loop_thread.h"

namespace kivo {
namespace {

TEST(FrameLoop, AcceptsShortIntervalsAndDropsStalls) {
  struct Case {
    uint32_t diff;
    bool runs;
    uint32_t nextWait;
  } cases[] = {{1, true, 14}, {10, true, 5}, {15, true, 1}, {40, true, 1}, {299, true, 1}, {300, false, 1}, {400, false, 1}};
  for (const Case& c : cases) {
    TFrameTiming clock;
    clock.totalTime = 1000;
    clock.frameDelta = 7;
    uint32_t previous = 5000;
    bool runs = false;
    uint32_t wait = TLoopThread::AcceptInterval(5000 + c.diff, previous, clock, runs);
    EXPECT_EQ(runs, c.runs) << c.diff;
    EXPECT_EQ(wait, c.nextWait) << c.diff;
    EXPECT_EQ(previous, 5000 + c.diff) << "previous time moves on also for a dropped interval";
    EXPECT_EQ(clock.totalTime, c.runs ? 1000 + static_cast<int>(c.diff) : 1000) << c.diff;
    EXPECT_EQ(clock.frameDelta, c.runs ? static_cast<int>(c.diff) : 7) << c.diff;
  }
}

TEST(FrameLoop, ClockWrapsAroundLikeTheMultimediaTimer) {
  TFrameTiming clock;
  uint32_t previous = 0xFFFFFFF0u;
  bool runs = false;
  TLoopThread::AcceptInterval(0x00000002u, previous, clock, runs);
  EXPECT_TRUE(runs);
  EXPECT_EQ(clock.frameDelta, 18);
}

TEST(FrameLoop, HeadlessClockTicksWithTheFixedDelta) {
  THeadlessLoopTiming timing(20);
  TFrameTiming clock;
  std::atomic<int> ticks{0};
  {
    TLoopThread thread(
        timing, clock, [&] { ++ticks; },
        [&](std::function<void()> task) {
          if (ticks < 50) task();
        });
    thread.Start();
    while (ticks < 50) std::this_thread::yield();
  }
  EXPECT_GE(ticks, 50);
  EXPECT_EQ(clock.frameDelta, 20);
  EXPECT_EQ(clock.totalTime % 20, 0);
  EXPECT_GE(clock.totalTime, 50 * 20);
}

TEST(FrameLoop, WakeEndsTheLoop) {
  TRealLoopTiming timing;
  TFrameTiming clock;
  TLoopThread thread(timing, clock, [] {}, [](std::function<void()> task) { task(); });
  thread.Start();
  timing.Wake();
  // Destruction joins; reaching the end of the test is the check.
}

}  // namespace
}  // namespace kivo
