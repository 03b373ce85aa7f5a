// TClipList: the dirty-rectangle list; rectangles near each other merge into their union.
#pragma once

#include <vector>

#include "platform/geometry.h"

namespace kivo {

class TClipList {
public:
  // Rectangles closer than this on every side are merged.
  static constexpr int kNearDistance = 20;

  // Ignores an empty rectangle; merges rect with the first stored rectangle near it (again and
  // again while the union is near another one), else appends it.
  void Add(const TRect& rect);
  void Clear();
  int Count() const { return static_cast<int>(rects_.size()); }
  const TRect& Get(int i) const { return rects_.at(static_cast<size_t>(i)); }
  const std::vector<TRect>& Rects() const { return rects_; }
  auto begin() const { return rects_.begin(); }
  auto end() const { return rects_.end(); }

  // Set by every modification; the owner clears it once it has drawn the list.
  bool Changed() const { return changed_; }
  void SetChanged(bool changed) { changed_ = changed; }

private:
  std::vector<TRect> rects_;
  bool changed_ = false;
};

}  // namespace kivo
