// TObjList: a list that owns its objects; clearing or deleting frees them.
#pragma once

#include <memory>
#include <vector>

#include "platform/kivo_error.h"

namespace kivo {

template <class T>
class TObjList {
public:
  T& Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return *items_.back();
  }
  template <class U = T, class... Args>
  U& Emplace(Args&&... args) {
    auto item = std::make_unique<U>(std::forward<Args>(args)...);
    U& added = *item;
    items_.push_back(std::move(item));
    return added;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  T& Get(int i) const { return *items_[Checked(i)]; }
  T& operator[](int i) const { return Get(i); }
  int IndexOf(const T* item) const {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].get() == item) return static_cast<int>(i);
    }
    return -1;
  }
  // Frees object i and removes it.
  void Delete(int i) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(Checked(i))); }
  // Removes object i without freeing it: the caller takes it over.
  std::unique_ptr<T> Extract(int i) {
    std::unique_ptr<T> item = std::move(items_[Checked(i)]);
    items_.erase(items_.begin() + i);
    return item;
  }
  void Clear() { items_.clear(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  size_t Checked(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= items_.size()) throw EKivoError("Error:TObjList index out of range");
    return static_cast<size_t>(i);
  }
  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace kivo
