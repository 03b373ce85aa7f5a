// Synchronous hand-over of ticks to the UI thread, safe against shutdown in between.
#include "app/ui_handoff.h"

namespace kivo {

TUiHandoff::TUiHandoff(IWindow& window) : window_(window) {}

void TUiHandoff::RunAndWait(const std::function<void()>& task) {
  std::shared_ptr<State> state = state_;
  unsigned long ticket = ++posted_;
  window_.Post([state, task, ticket] {
    {
      std::lock_guard lock(state->mutex);
      if (state->cancelled) return;
    }
    task();
    {
      std::lock_guard lock(state->mutex);
      state->finished = ticket;
    }
    state->done.notify_all();
  });
  std::unique_lock lock(state->mutex);
  state->done.wait(lock, [&] { return state->cancelled || state->finished >= ticket; });
}

void TUiHandoff::Cancel() {
  {
    std::lock_guard lock(state_->mutex);
    state_->cancelled = true;
  }
  state_->done.notify_all();
}

}  // namespace kivo
