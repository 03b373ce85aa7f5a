// Toolbar drawing in the classic raised-button look, and its hit test.
#include "app/toolbar.h"

#include "platform/ui_text.h"

namespace kivo {
namespace {

constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kText = 0x000000;

const char* const kCaptions[] = {"\x8FI\x97\xB9", "\x89\xE6\x96\xCA\x90\xD8\x91\xD6"};  // 終了, 画面切替

void Frame(std::vector<uint32_t>& px, int width, const TRect& r, uint32_t topLeft, uint32_t bottomRight) {
  for (int x = r.left; x < r.right; ++x) {
    px[static_cast<size_t>(r.top) * width + x] = topLeft;
    px[static_cast<size_t>(r.bottom - 1) * width + x] = bottomRight;
  }
  for (int y = r.top; y < r.bottom; ++y) {
    px[static_cast<size_t>(y) * width + r.left] = topLeft;
    px[static_cast<size_t>(y) * width + r.right - 1] = bottomRight;
  }
}

}  // namespace

TRect TToolbar::ButtonRect(Button button) {
  int index = button == Button::Exit ? 0 : 1;
  return TRect::FromSize(2 + index * kButtonWidth, 2, kButtonWidth, kButtonHeight);
}

TToolbar::Button TToolbar::HitTest(int x, int y) {
  for (Button b : {Button::Exit, Button::ScreenSwitch})
    if (ButtonRect(b).Contains(x, y)) return b;
  return Button::None;
}

std::vector<uint32_t> TToolbar::Draw(int width, Button pressed) const {
  std::vector<uint32_t> px(static_cast<size_t>(width) * kDockHeight, kFace);
  int index = 0;
  for (Button b : {Button::Exit, Button::ScreenSwitch}) {
    TRect r = ButtonRect(b).Intersect({0, 0, width, kDockHeight});
    if (r.IsEmpty()) continue;
    bool down = b == pressed;
    Frame(px, width, r, down ? kShadow : kLight, down ? kLight : kShadow);
    TTextBitmap text = RenderUiText(kCaptions[index++], 12);
    int left = r.left + (r.Width() - text.width) / 2 + (down ? 1 : 0);
    int top = r.top + (r.Height() - text.height) / 2 + (down ? 1 : 0);
    for (int y = 0; y < text.height; ++y)
      for (int x = 0; x < text.width; ++x) {
        int dx = left + x, dy = top + y;
        if (!r.Contains(dx, dy)) continue;
        uint32_t a = text.coverage[static_cast<size_t>(y) * text.width + x];
        uint32_t& d = px[static_cast<size_t>(dy) * width + dx];
        auto mix = [&](int shift) {
          uint32_t c = (d >> shift) & 0xFF, t = (kText >> shift) & 0xFF;
          return ((c * (255 - a) + t * a) / 255) << shift;
        };
        d = mix(16) | mix(8) | mix(0);
      }
  }
  return px;
}

}  // namespace kivo
