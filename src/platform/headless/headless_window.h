// The headless window: no display; the client area lives in memory and the loop runs posted tasks.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/client_buffer.h"
#include "platform/window.h"

namespace kivo {

class THeadlessWindow : public IWindow {
public:
  THeadlessWindow();

  void SetTitle(const std::string& titleCp932) override { title_ = titleCp932; }
  void SetClientSize(int width, int height) override;
  int ClientWidth() const override { return client_.Width(); }
  int ClientHeight() const override { return client_.Height(); }
  void SetPosition(int left, int top) override { position_ = {left, top}; }
  TPoint Position() const override { return position_; }
  TRect PrimaryMonitorRect() const override { return {0, 0, desktop_.width, desktop_.height}; }
  void SetBorderless(bool) override {}
  void Show() override {}
  bool IsHeadless() const override { return true; }

  void RunLoop(IWindowListener& listener) override;
  void Quit() override;
  void Post(std::function<void()> task) override;

  void PresentRects(const uint32_t* pixels, int width, int height, int pitchBytes, TPoint origin,
                    std::span<const TRect> rects) override;
  void FillClientRect(const TRect& rect, uint32_t rgb) override;
  void ShowClient() override {}
  std::vector<uint32_t> ReadClient() const override { return client_.Pixels(); }

  std::vector<DisplayMode> DisplayModes() const override;
  DisplayMode DesktopMode() const override { return desktop_; }
  bool EnterFullScreen(const DisplayMode& mode) override;
  void LeaveFullScreen() override {}

  TPoint CursorPosition() const override { return cursor_; }
  void SetCursorPosition(TPoint clientPoint) override { cursor_ = clientPoint; }

  const std::string& Title() const { return title_; }

private:
  std::string title_;
  TClientBuffer client_;
  DisplayMode desktop_{1024, 768, 32, 60};
  TPoint cursor_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  bool quit_ = false;
  TPoint position_{};
};

}  // namespace kivo
