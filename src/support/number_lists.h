// TIntList, TIntArray and TExtendedList: the integer and 80-bit float lists.
#pragma once

#include <cstdint>
#include <vector>

#include "support/extended.h"

namespace kivo {

class TIntList {
public:
  // Set grows the list with zeros up to its index; an index at or beyond this many entries is
  // refused like a negative one rather than allocating without bound.
  static constexpr int32_t kMaxCount = 1 << 24;

  int32_t Add(int32_t v);
  int32_t IndexOf(int32_t v) const;
  // Raises "Error:TIntList.GetInt" when i is outside 0 .. Count-1.
  int32_t Get(int32_t i) const;
  // Appends zeros until i < Count, then stores v; raises "Error:TIntList.SetInt" for i < 0.
  void Set(int32_t i, int32_t v);
  void Delete(int32_t i);
  void Clear() { items_.clear(); }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  const std::vector<int32_t>& Items() const { return items_; }

private:
  std::vector<int32_t> items_;
};

class TIntArray {
public:
  void Add(int32_t v) { items_.push_back(v); }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Raises "Error:TIntArray.Get" when i is outside 0 .. Count-1.
  int32_t Get(int32_t i) const;
  void Clear() { items_.clear(); }

private:
  std::vector<int32_t> items_;
};

class TExtendedList {
public:
  void Add(Extended x) { items_.push_back(x); }
  // Raises "Error:TExtendedList.Get" when i is outside 0 .. Count-1.
  Extended Get(int32_t i) const;
  void Clear() { items_.clear(); }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Ascending, or descending when asked; NaNs (which order against nothing) go last either way.
  void Sort(bool descending);

private:
  std::vector<Extended> items_;
};

}  // namespace kivo
