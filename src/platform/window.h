// The main window as the engine sees it: one client area holding the scene panel, an event loop
// with posted tasks, presentation of the composed picture, display modes and full screen.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace kivo {

enum class MouseButton { Left, Right, Middle };

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int refreshRate = 0;
  bool operator==(const DisplayMode&) const = default;
};

// Handlers of the window's events; every call arrives on the thread that runs the loop.
// Coordinates are client coordinates of the window's logical client area (the picture is scaled
// to the real window, keeping its aspect ratio; the window maps the mouse back).
class IWindowListener {
public:
  virtual ~IWindowListener() = default;
  // vk: a Windows virtual-key code; repeat: the key was already down (auto-repeat).
  virtual void OnKeyDown(int vk, bool repeat) = 0;
  virtual void OnKeyUp(int vk) = 0;
  virtual void OnMouseDown(MouseButton button, int x, int y) = 0;
  virtual void OnMouseUp(MouseButton button, int x, int y) = 0;
  virtual void OnMouseMove(int x, int y) = 0;
  // delta > 0: wheel up (away from the user).
  virtual void OnWheel(int delta) = 0;
  virtual void OnActivate(bool active) = 0;
  // The user asked to close the window (close button, window manager).
  virtual void OnCloseRequest() = 0;
  // The client area must be drawn again (exposed, resized, mode changed).
  virtual void OnPaint() = 0;
};

class IWindow {
public:
  virtual ~IWindow() = default;

  virtual void SetTitle(const std::string& titleCp932) = 0;
  // The logical client size: the size of the picture the program draws.
  virtual void SetClientSize(int width, int height) = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetPosition(int left, int top) = 0;
  virtual TPoint Position() const = 0;
  virtual TRect PrimaryMonitorRect() const = 0;
  virtual void SetBorderless(bool borderless) = 0;
  virtual void Show() = 0;
  virtual bool IsHeadless() const = 0;

  // Runs the event loop until Quit; posted tasks run on the loop's thread between events.
  virtual void RunLoop(IWindowListener& listener) = 0;
  virtual void Quit() = 0;
  // Thread-safe: queue a task for the loop's thread.
  virtual void Post(std::function<void()> task) = 0;

  // Copies the given rectangles of a 32-bit 0x00RRGGBB picture into the client area with the
  // picture's origin at `origin`, then shows the client area. Rectangles are picture coordinates.
  virtual void PresentRects(const uint32_t* pixels, int width, int height, int pitchBytes, TPoint origin,
                            std::span<const TRect> rects) = 0;
  // Fills a client rectangle with one 0x00RRGGBB colour (shown with the next present).
  virtual void FillClientRect(const TRect& rect, uint32_t rgb) = 0;
  // Shows the client area as it is now.
  virtual void ShowClient() = 0;
  // A copy of the client area as 0x00RRGGBB, row by row (for screenshots and tests).
  virtual std::vector<uint32_t> ReadClient() const = 0;

  // Display modes of the primary display, and the desktop's.
  virtual std::vector<DisplayMode> DisplayModes() const = 0;
  virtual DisplayMode DesktopMode() const = 0;
  // Enters full screen in the given mode; false when the mode could not be set.
  virtual bool EnterFullScreen(const DisplayMode& mode) = 0;
  virtual void LeaveFullScreen() = 0;

  // Mouse cursor in client coordinates.
  virtual TPoint CursorPosition() const = 0;
  virtual void SetCursorPosition(TPoint clientPoint) = 0;
};

enum class WindowBackend { Sdl, Headless };

// The SDL window needs a display; the headless one keeps its client area in memory.
std::unique_ptr<IWindow> CreateWindow(WindowBackend backend);

// True when a display server is reachable ($DISPLAY or $WAYLAND_DISPLAY set).
bool HasDisplay();

}  // namespace kivo
