// A headless window whose display offers chosen modes and can refuse full screen.
#pragma once

#include <vector>

#include "platform/headless/headless_window.h"

namespace kivo::testing {

class TModeWindow : public THeadlessWindow {
public:
  std::vector<DisplayMode> modes{{640, 480, 32, 60}, {800, 600, 16, 60}, {1024, 768, 15, 60}, {1024, 768, 32, 60}};
  DisplayMode desktop{1024, 768, 24, 60};
  bool refuse = false;
  bool full = false;
  DisplayMode entered{};  // the last mode full screen was entered with
  int leaves = 0;
  std::vector<DisplayMode> DisplayModes() const override { return modes; }
  DisplayMode DesktopMode() const override { return desktop; }
  bool EnterFullScreen(const DisplayMode& mode) override {
    if (!refuse) entered = mode;
    return full = !refuse;
  }
  void LeaveFullScreen() override { full = false, ++leaves; }
};

}  // namespace kivo::testing
