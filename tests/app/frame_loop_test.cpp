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
  } cases[] = {{1, true}, {10, true}, {15, true}, {40, true}, {299, true}, {300, false}, {400, false}};
  for (const Case& c : cases) {
    TFrameTiming clock;
    clock.totalTime = 1000;
    clock.frameDelta = 7;
    uint32_t previous = 5000;
    EXPECT_EQ(TLoopThread::AcceptInterval(5000 + c.diff, previous, clock), c.runs) << c.diff;
    EXPECT_EQ(previous, 5000 + c.diff) << "previous time moves on also for a dropped interval";
    EXPECT_EQ(clock.totalTime, c.runs ? 1000 + static_cast<int>(c.diff) : 1000) << c.diff;
    EXPECT_EQ(clock.frameDelta, c.runs ? static_cast<int>(c.diff) : 7) << c.diff;
  }
}

TEST(FrameLoop, SleepsForTheRestOfTheFifteenMillisecondPeriod) {
  EXPECT_EQ(TLoopThread::NextWait(0), 15u);
  EXPECT_EQ(TLoopThread::NextWait(4), 11u);
  EXPECT_EQ(TLoopThread::NextWait(14), 1u);
  EXPECT_EQ(TLoopThread::NextWait(40), 1u);
}

TEST(FrameLoop, ClockWrapsAroundLikeTheMultimediaTimer) {
  TFrameTiming clock;
  uint32_t previous = 0xFFFFFFF0u;
  EXPECT_TRUE(TLoopThread::AcceptInterval(0x00000002u, previous, clock));
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
