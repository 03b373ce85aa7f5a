// Headless window: an in-memory client area and a task loop.
#include "platform/headless/headless_window.h"

namespace kivo {

THeadlessWindow::THeadlessWindow() = default;

void THeadlessWindow::SetClientSize(int width, int height) { client_.Resize(width, height); }

void THeadlessWindow::RunLoop(IWindowListener&) {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
      if (quit_) {
        quit_ = false;
        return;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

void THeadlessWindow::Quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

void THeadlessWindow::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void THeadlessWindow::PresentRects(const uint32_t* pixels, int width, int height, int pitchBytes, TPoint origin,
                                   std::span<const TRect> rects) {
  client_.CopyRects(pixels, width, height, pitchBytes, origin, rects);
}

void THeadlessWindow::FillClientRect(const TRect& rect, uint32_t rgb) { client_.Fill(rect, rgb); }

std::vector<DisplayMode> THeadlessWindow::DisplayModes() const {
  return {{640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
}

bool THeadlessWindow::EnterFullScreen(const DisplayMode& mode) {
  for (const DisplayMode& m : DisplayModes())
    if (m == mode) return true;
  return false;
}

}  // namespace kivo
