// Points and rectangles in the Windows convention: right and bottom are exclusive.
#pragma once

#include <algorithm>

namespace kivo {

struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static TRect FromSize(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
  }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  TRect Intersect(const TRect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
  }
  TRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const TRect&) const = default;
};

}  // namespace kivo
