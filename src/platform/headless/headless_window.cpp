// Headless window: an in-memory client area and a task loop.
#include "platform/headless/headless_window.h"

#include <cstring>

namespace kivo {

THeadlessWindow::THeadlessWindow() = default;

void THeadlessWindow::SetClientSize(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  client_.assign(static_cast<size_t>(width_) * height_, 0);
}

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
  const TRect picture{0, 0, width, height};
  const TRect client{0, 0, width_, height_};
  for (const TRect& r : rects) {
    TRect src = r.Intersect(picture).Intersect(client.Offset(-origin.x, -origin.y));
    if (src.IsEmpty()) continue;
    for (int y = src.top; y < src.bottom; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                          static_cast<ptrdiff_t>(y) * pitchBytes);
      std::memcpy(&client_[static_cast<size_t>(y + origin.y) * width_ + src.left + origin.x], row + src.left,
                  static_cast<size_t>(src.Width()) * 4);
    }
  }
}

void THeadlessWindow::FillClientRect(const TRect& rect, uint32_t rgb) {
  TRect r = rect.Intersect({0, 0, width_, height_});
  for (int y = r.top; y < r.bottom; ++y)
    std::fill_n(&client_[static_cast<size_t>(y) * width_ + r.left], r.Width(), rgb);
}

std::vector<DisplayMode> THeadlessWindow::DisplayModes() const {
  return {{640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
}

bool THeadlessWindow::EnterFullScreen(const DisplayMode& mode) {
  for (const DisplayMode& m : DisplayModes())
    if (m == mode) return true;
  return false;
}

}  // namespace kivo
