// SDL2 window: events to the listener, posted tasks as user events, the client area as a texture
// scaled to the window with its aspect ratio kept (black bars around it).
#include "platform/sdl/sdl_window.h"

#include <stdexcept>

#include "platform/cp932.h"
#include "platform/kivo_error.h"
#include "platform/sdl/sdl_keys.h"

namespace kivo {

TSdlWindow::TSdlWindow() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw EKivoError(std::string("SDL: ") + SDL_GetError());
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  window_ = SDL_CreateWindow("KivoPlayer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                             SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!window_) throw EKivoError(std::string("SDL: ") + SDL_GetError());
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) throw EKivoError(std::string("SDL: ") + SDL_GetError());
  wakeEvent_ = SDL_RegisterEvents(1);
  SetClientSize(640, 480);
}

TSdlWindow::~TSdlWindow() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void TSdlWindow::SetTitle(const std::string& titleCp932) { SDL_SetWindowTitle(window_, Cp932ToUtf8(titleCp932).c_str()); }

void TSdlWindow::SetClientSize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (width == client_.Width() && height == client_.Height() && texture_) return;
  client_.Resize(width, height);
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
  SDL_RenderSetLogicalSize(renderer_, width, height);
  if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN)) SDL_SetWindowSize(window_, width, height);
  UploadRect({0, 0, width, height});
}

void TSdlWindow::SetPosition(int left, int top) { SDL_SetWindowPosition(window_, left, top); }

TPoint TSdlWindow::Position() const {
  TPoint p{};
  SDL_GetWindowPosition(window_, &p.x, &p.y);
  return p;
}

TRect TSdlWindow::PrimaryMonitorRect() const {
  SDL_Rect r{0, 0, 640, 480};
  SDL_GetDisplayBounds(0, &r);
  return TRect::FromSize(r.x, r.y, r.w, r.h);
}

void TSdlWindow::SetBorderless(bool borderless) { SDL_SetWindowBordered(window_, borderless ? SDL_FALSE : SDL_TRUE); }

void TSdlWindow::Show() {
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  ShowClient();
}

void TSdlWindow::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  SDL_Event event{};
  event.type = wakeEvent_;
  SDL_PushEvent(&event);
}

void TSdlWindow::RunPostedTasks() {
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    if (quit_) return;
  }
}

void TSdlWindow::Quit() {
  quit_ = true;
  SDL_Event event{};
  event.type = wakeEvent_;
  SDL_PushEvent(&event);
}

void TSdlWindow::RunLoop(IWindowListener& listener) {
  quit_ = false;
  SDL_Event event;
  while (!quit_) {
    if (!SDL_WaitEvent(&event)) continue;
    do {
      if (event.type == wakeEvent_)
        RunPostedTasks();
      else
        Dispatch(event, listener);
    } while (!quit_ && SDL_PollEvent(&event));
  }
  quit_ = false;
}

static MouseButton ButtonOf(Uint8 button) {
  if (button == SDL_BUTTON_RIGHT) return MouseButton::Right;
  if (button == SDL_BUTTON_MIDDLE) return MouseButton::Middle;
  return MouseButton::Left;
}

void TSdlWindow::Dispatch(const SDL_Event& e, IWindowListener& listener) {
  switch (e.type) {
    case SDL_KEYDOWN:
      if (int vk = VirtualKeyFromScancode(e.key.keysym.scancode)) listener.OnKeyDown(vk, e.key.repeat != 0);
      break;
    case SDL_KEYUP:
      if (int vk = VirtualKeyFromScancode(e.key.keysym.scancode)) listener.OnKeyUp(vk);
      break;
    // With a logical size set, SDL already reports mouse positions in client coordinates.
    case SDL_MOUSEBUTTONDOWN: listener.OnMouseDown(ButtonOf(e.button.button), e.button.x, e.button.y); break;
    case SDL_MOUSEBUTTONUP: listener.OnMouseUp(ButtonOf(e.button.button), e.button.x, e.button.y); break;
    case SDL_MOUSEMOTION: listener.OnMouseMove(e.motion.x, e.motion.y); break;
    case SDL_MOUSEWHEEL: {
      int delta = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      if (delta != 0) listener.OnWheel(delta);
      break;
    }
    case SDL_QUIT: listener.OnCloseRequest(); break;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: listener.OnActivate(true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: listener.OnActivate(false); break;
        case SDL_WINDOWEVENT_CLOSE: listener.OnCloseRequest(); break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          listener.OnPaint();
          ShowClient();
          break;
        default: break;
      }
      break;
    default: break;
  }
}

void TSdlWindow::UploadRect(const TRect& rect) {
  TRect r = rect.Intersect({0, 0, client_.Width(), client_.Height()});
  if (r.IsEmpty() || !texture_) return;
  SDL_Rect area{r.left, r.top, r.Width(), r.Height()};
  SDL_UpdateTexture(texture_, &area, client_.Row(r.top) + r.left, client_.Width() * 4);
}

void TSdlWindow::PresentRects(const uint32_t* pixels, int width, int height, int pitchBytes, TPoint origin,
                              std::span<const TRect> rects) {
  for (const TRect& changed : client_.CopyRects(pixels, width, height, pitchBytes, origin, rects)) UploadRect(changed);
  ShowClient();
}

void TSdlWindow::FillClientRect(const TRect& rect, uint32_t rgb) { UploadRect(client_.Fill(rect, rgb)); }

void TSdlWindow::ShowClient() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

std::vector<DisplayMode> TSdlWindow::DisplayModes() const {
  std::vector<DisplayMode> modes;
  int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) == 0)
      modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
  }
  return modes;
}

DisplayMode TSdlWindow::DesktopMode() const {
  SDL_DisplayMode m{};
  if (SDL_GetDesktopDisplayMode(0, &m) != 0) return {640, 480, 32, 60};
  return {m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate};
}

bool TSdlWindow::EnterFullScreen(const DisplayMode& mode) {
  SDL_DisplayMode wanted{};
  wanted.w = mode.width;
  wanted.h = mode.height;
  wanted.refresh_rate = mode.refreshRate;
  SDL_DisplayMode closest;
  if (!SDL_GetClosestDisplayMode(0, &wanted, &closest) || closest.w != mode.width || closest.h != mode.height)
    return false;
  if (SDL_SetWindowDisplayMode(window_, &closest) != 0) return false;
  if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) return false;
  ShowClient();
  return true;
}

void TSdlWindow::LeaveFullScreen() {
  SDL_SetWindowFullscreen(window_, 0);
  SDL_SetWindowSize(window_, client_.Width(), client_.Height());
  ShowClient();
}

TPoint TSdlWindow::WindowToClient(int x, int y) const {
  float lx = 0, ly = 0;
  SDL_RenderWindowToLogical(renderer_, x, y, &lx, &ly);
  return {static_cast<int>(lx), static_cast<int>(ly)};
}

TPoint TSdlWindow::CursorPosition() const {
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  return WindowToClient(x, y);
}

void TSdlWindow::SetCursorPosition(TPoint p) {
  int x = 0, y = 0;
  SDL_RenderLogicalToWindow(renderer_, static_cast<float>(p.x), static_cast<float>(p.y), &x, &y);
  SDL_WarpMouseInWindow(window_, x, y);
}

}  // namespace kivo
