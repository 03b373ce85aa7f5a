// Back-end choice for the main window.
#include "platform/window.h"

#include <cstdlib>

#include "platform/headless/headless_window.h"
#include "platform/message_box.h"
#include "platform/sdl/sdl_window.h"

namespace kivo {

bool HasDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

std::unique_ptr<IWindow> CreateWindow(WindowBackend backend) {
  SetMessageBoxesHeadless(backend == WindowBackend::Headless);
  if (backend == WindowBackend::Headless) return std::make_unique<THeadlessWindow>();
  return std::make_unique<TSdlWindow>();
}

}  // namespace kivo
