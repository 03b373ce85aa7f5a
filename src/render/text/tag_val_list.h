// TTagValList: the attribute state (style stacks, flags, link, ruby, wait) while glyphs are made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/text/decorate.h"
#include "render/text/wd_glyph.h"

namespace kivo {

// A stack whose top is the last pushed value, or its empty value when nothing is pushed.
template <class T>
class TTagStack {
public:
  explicit TTagStack(T empty) : empty_(std::move(empty)) {}
  const T& Top() const { return items_.empty() ? empty_ : items_.back(); }
  void Push(T value) { items_.push_back(std::move(value)); }
  void Pop() {
    if (!items_.empty()) items_.pop_back();
  }
  size_t Depth() const { return items_.size(); }

private:
  T empty_;
  std::vector<T> items_;
};

class TTagValList {
public:
  // defaultWait is the character wait when no WAIT tag is open ("@TextDelay" at reading time).
  explicit TTagValList(int32_t defaultWait) : Wait(defaultWait) {}

  // The style the current state gives a character (its reference count is 0).
  TDecorate CurrentStyle() const;

  TTagStack<int32_t> Size{0};
  TTagStack<int32_t> Color{-1};
  TTagStack<int32_t> BorderColor{-1};
  TTagStack<int32_t> ShadowColor{-1};
  TTagStack<int32_t> Wait;
  TTagStack<int32_t> BorderWidth{-1};
  TTagStack<int32_t> ShadowOffset{-1};
  TTagStack<std::string> FontName{std::string()};
  TTagStack<uint8_t> Align{AL_LEFT};
  uint8_t Flags = 0;
  bool NoBreak = false;
  std::string Ruby;
  std::string Link;
};

}  // namespace kivo
