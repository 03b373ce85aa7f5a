// TIntList, TIntArray and TExtendedList.
#include "support/number_lists.h"

#include <algorithm>
#include <cmath>

#include "platform/kivo_error.h"

namespace kivo {

namespace {

template <class T>
const T& CheckedAt(const std::vector<T>& items, int32_t i, const char* error) {
  if (i < 0 || static_cast<size_t>(i) >= items.size()) throw EKivoError(error);
  return items[static_cast<size_t>(i)];
}

}  // namespace

int32_t TIntList::Add(int32_t v) {
  items_.push_back(v);
  return Count() - 1;
}

int32_t TIntList::IndexOf(int32_t v) const {
  auto it = std::find(items_.begin(), items_.end(), v);
  return it == items_.end() ? -1 : static_cast<int32_t>(it - items_.begin());
}

int32_t TIntList::Get(int32_t i) const { return CheckedAt(items_, i, "Error:TIntList.GetInt"); }

void TIntList::Set(int32_t i, int32_t v) {
  if (i < 0 || i >= kMaxCount) throw EKivoError("Error:TIntList.SetInt");
  if (i >= Count()) items_.resize(static_cast<size_t>(i) + 1, 0);
  items_[static_cast<size_t>(i)] = v;
}

void TIntList::Delete(int32_t i) {
  CheckedAt(items_, i, "Error:TIntList.Delete");
  items_.erase(items_.begin() + i);
}

int32_t TIntArray::Get(int32_t i) const { return CheckedAt(items_, i, "Error:TIntArray.Get"); }

Extended TExtendedList::Get(int32_t i) const { return CheckedAt(items_, i, "Error:TExtendedList.Get"); }

void TExtendedList::Sort(bool descending) {
  // The NaNs are split off first so the comparison below is a strict weak order.
  auto numbers = std::partition(items_.begin(), items_.end(), [](Extended x) { return !std::isnan(x); });
  if (descending) {
    std::stable_sort(items_.begin(), numbers, [](Extended a, Extended b) { return a > b; });
  } else {
    std::stable_sort(items_.begin(), numbers, [](Extended a, Extended b) { return a < b; });
  }
}

}  // namespace kivo
