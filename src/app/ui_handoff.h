// Hands a task from the frame thread to the window's thread and waits until it has run.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/window.h"

namespace kivo {

class TUiHandoff {
public:
  explicit TUiHandoff(IWindow& window);
  // Frame thread: posts the task and waits for it, or until Cancel.
  void RunAndWait(const std::function<void()>& task);
  // UI thread, before the frame thread is joined: stops waiting and makes queued tasks no-ops.
  void Cancel();

private:
  struct State {
    std::mutex mutex;
    std::condition_variable done;
    bool cancelled = false;
    unsigned long finished = 0;
  };
  IWindow& window_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
  unsigned long posted_ = 0;
};

}  // namespace kivo
