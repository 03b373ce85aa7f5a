// TClipList merging.
#include "support/clip_list.h"

#include <algorithm>

namespace kivo {

namespace {

bool Near(const TRect& a, const TRect& r) {
  constexpr int d = TClipList::kNearDistance;
  // 64-bit sums: rectangles at the far ends of the int range must not wrap.
  auto x = [](int v) { return static_cast<long long>(v); };
  return !(x(r.right) + d < a.left || x(r.bottom) + d < a.top || a.right < x(r.left) - d || a.bottom < x(r.top) - d);
}

bool Inside(const TRect& a, const TRect& r) {
  return a.left >= r.left && a.top >= r.top && a.right <= r.right && a.bottom <= r.bottom;
}

}  // namespace

void TClipList::Add(const TRect& rect) {
  if (rect.IsEmpty()) return;
  TRect current = rect;
  for (;;) {
    auto near = std::find_if(rects_.begin(), rects_.end(), [&](const TRect& r) { return Near(current, r); });
    if (near == rects_.end()) break;
    if (Inside(current, *near)) return;
    TRect r = *near;
    rects_.erase(near);
    changed_ = true;
    current = {std::min(current.left, r.left), std::min(current.top, r.top), std::max(current.right, r.right),
               std::max(current.bottom, r.bottom)};
  }
  rects_.push_back(current);
  changed_ = true;
}

void TClipList::Clear() {
  rects_.clear();
  changed_ = true;
}

}  // namespace kivo
