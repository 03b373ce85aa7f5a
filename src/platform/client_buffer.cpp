// Clipped copies and fills of the client area.
#include "platform/client_buffer.h"

#include <algorithm>
#include <cstring>

namespace kivo {

void TClientBuffer::Resize(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pixels_.assign(static_cast<size_t>(width_) * height_, 0);
}

std::vector<TRect> TClientBuffer::CopyRects(const uint32_t* pixels, int width, int height, int pitchBytes,
                                            TPoint origin, std::span<const TRect> rects) {
  std::vector<TRect> changed;
  const TRect picture{0, 0, width, height};
  const TRect client{0, 0, width_, height_};
  for (const TRect& r : rects) {
    TRect src = r.Intersect(picture).Intersect(client.Offset(-origin.x, -origin.y));
    if (src.IsEmpty()) continue;
    for (int y = src.top; y < src.bottom; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                          static_cast<ptrdiff_t>(y) * pitchBytes);
      std::memcpy(&pixels_[static_cast<size_t>(y + origin.y) * width_ + src.left + origin.x], row + src.left,
                  static_cast<size_t>(src.Width()) * 4);
    }
    changed.push_back(src.Offset(origin.x, origin.y));
  }
  return changed;
}

TRect TClientBuffer::Fill(const TRect& rect, uint32_t rgb) {
  TRect r = rect.Intersect({0, 0, width_, height_});
  for (int y = r.top; y < r.bottom; ++y) std::fill_n(&pixels_[static_cast<size_t>(y) * width_ + r.left], r.Width(), rgb);
  return r;
}

}  // namespace kivo
