// The game clock and frame counters shared by the frame loop and everything that animates.
#pragma once

#include <atomic>
#include <cstdint>

namespace kivo {

struct TFrameTiming {
  // Written by the frame thread just before it hands a tick over; read on the UI thread in the tick.
  std::atomic<int32_t> totalTime{0};   // ms of accepted intervals since start
  std::atomic<int32_t> frameDelta{0};  // ms of the last accepted interval
  std::atomic<uint32_t> lastTickTime{0};
  // UI thread only.
  int32_t frameCounter = 0;
  int32_t particleStep = 16;
  int32_t renderDivisor = 1;
  bool exitRequested = false;
  bool displaySwitching = false;

  // Back to the state at start (a new run in the same process).
  void Reset() {
    totalTime = 0;
    frameDelta = 0;
    lastTickTime = 0;
    frameCounter = 0;
    particleStep = 16;
    renderDivisor = 1;
    exitRequested = false;
    displaySwitching = false;
  }
};

// The process-wide clock that commands, objects and media read.
TFrameTiming& FrameTiming();

}  // namespace kivo
