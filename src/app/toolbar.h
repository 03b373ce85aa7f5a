// The toolbar dock above the scene: a strip with the buttons "終了" and "画面切替", drawn by the
// program itself.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/geometry.h"

namespace kivo {

class TToolbar {
public:
  static constexpr int kButtonWidth = 67;
  static constexpr int kButtonHeight = 18;
  static constexpr int kDockHeight = kButtonHeight + 4;

  enum class Button { None, Exit, ScreenSwitch };

  // The button under a point of the strip (strip coordinates).
  static Button HitTest(int x, int y);
  static TRect ButtonRect(Button button);

  // The strip as 0x00RRGGBB pixels, width x kDockHeight, with `pressed` drawn sunken.
  std::vector<uint32_t> Draw(int width, Button pressed) const;
};

}  // namespace kivo
