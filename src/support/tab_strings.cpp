// TTabStrings splitting.
#include "support/tab_strings.h"

#include "support/sjis.h"

namespace kivo {

void TTabStrings::SetText(std::string_view text) {
  items_.clear();
  size_t start = 0;
  for (size_t i = 0; i < text.size();) {
    size_t n = SjisCharLength(text, i);
    if (n == 1 && text[i] == Separator) {
      items_.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
    i += n;
  }
  if (start < text.size()) items_.emplace_back(text.substr(start));
}

std::string TTabStrings::Get(int i) const {
  if (i < 0 || i >= Count()) return "";
  return items_[static_cast<size_t>(i)];
}

}  // namespace kivo
