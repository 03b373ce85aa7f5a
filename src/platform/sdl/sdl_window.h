// The real window: SDL2 window, renderer and a streaming texture that holds the client area.
#pragma once

#include <SDL2/SDL.h>

#include <deque>
#include <mutex>

#include "platform/client_buffer.h"
#include "platform/window.h"

namespace kivo {

class TSdlWindow : public IWindow {
public:
  TSdlWindow();
  ~TSdlWindow() override;

  void SetTitle(const std::string& titleCp932) override;
  void SetClientSize(int width, int height) override;
  int ClientWidth() const override { return client_.Width(); }
  int ClientHeight() const override { return client_.Height(); }
  void SetPosition(int left, int top) override;
  TPoint Position() const override;
  TRect PrimaryMonitorRect() const override;
  void SetBorderless(bool borderless) override;
  void Show() override;
  bool IsHeadless() const override { return false; }

  void RunLoop(IWindowListener& listener) override;
  void Quit() override;
  void Post(std::function<void()> task) override;

  void PresentRects(const uint32_t* pixels, int width, int height, int pitchBytes, TPoint origin,
                    std::span<const TRect> rects) override;
  void FillClientRect(const TRect& rect, uint32_t rgb) override;
  void ShowClient() override;
  std::vector<uint32_t> ReadClient() const override { return client_.Pixels(); }

  std::vector<DisplayMode> DisplayModes() const override;
  DisplayMode DesktopMode() const override;
  bool EnterFullScreen(const DisplayMode& mode) override;
  void LeaveFullScreen() override;

  TPoint CursorPosition() const override;
  void SetCursorPosition(TPoint clientPoint) override;

private:
  void Dispatch(const SDL_Event& event, IWindowListener& listener);
  void RunPostedTasks();
  void UploadRect(const TRect& rect);
  TPoint WindowToClient(int x, int y) const;

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  TClientBuffer client_;  // the texture's contents, kept for re-uploads and screenshots
  Uint32 wakeEvent_ = 0;
  bool quit_ = false;

  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace kivo
