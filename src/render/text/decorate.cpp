// The shared style list: identical styles are found before new ones are made.
#include "render/text/decorate.h"

namespace kivo {

bool TDecorate::SameValues(const TDecorate& o) const {
  return Color == o.Color && BorderColor == o.BorderColor && ShadowColor == o.ShadowColor &&
         Size == o.Size && Flags == o.Flags && FontName == o.FontName && NoBreak == o.NoBreak &&
         Ruby == o.Ruby && BorderWidth == o.BorderWidth && ShadowOffset == o.ShadowOffset;
}

TDecorate* TDecorateList::At(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

int TDecorateList::IndexOf(const TDecorate* style) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == style) return static_cast<int>(i);
  return -1;
}

TDecorate* TDecorateList::Acquire(const TDecorate& values) {
  for (auto& item : items_) {
    if (item->SameValues(values)) {
      ++item->RefCount;
      return item.get();
    }
  }
  TDecorate* added = Append(values);
  added->RefCount = 1;
  return added;
}

void TDecorateList::Release(TDecorate* style) {
  if (style == nullptr) return;
  if (--style->RefCount > 0) return;
  int index = IndexOf(style);
  if (index >= 0) items_.erase(items_.begin() + index);
}

TDecorate* TDecorateList::Append(const TDecorate& record) {
  items_.push_back(std::make_unique<TDecorate>(record));
  return items_.back().get();
}

void TDecorateList::AppendAll(TDecorateList&& other) {
  for (auto& item : other.items_) items_.push_back(std::move(item));
  other.items_.clear();
}

}  // namespace kivo
