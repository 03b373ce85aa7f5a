// The window's client area as 0x00RRGGBB pixels in memory, shared by both window back-ends.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/geometry.h"

namespace kivo {

class TClientBuffer {
public:
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  const uint32_t* Row(int y) const { return &pixels_[static_cast<size_t>(y) * width_]; }

  // Copies rectangles of a picture placed at origin; returns the client rectangles that changed.
  std::vector<TRect> CopyRects(const uint32_t* pixels, int width, int height, int pitchBytes, TPoint origin,
                               std::span<const TRect> rects);
  // Fills a client rectangle; returns the part inside the client area.
  TRect Fill(const TRect& rect, uint32_t rgb);

private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace kivo
