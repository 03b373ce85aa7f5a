// TTabStrings: a string list filled by splitting a text at a one-byte separator (tab by default).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kivo {

class TTabStrings {
public:
  char Separator = '\t';

  // Clears, then splits at every single-byte Separator (never at the trail byte of a double-byte
  // character). Empty pieces between separators are kept; an empty last piece is not.
  void SetText(std::string_view text);
  // "" for an index outside the list.
  std::string Get(int i) const;
  int Count() const { return static_cast<int>(items_.size()); }
  void Add(std::string s) { items_.push_back(std::move(s)); }
  void Clear() { items_.clear(); }
  const std::vector<std::string>& Items() const { return items_; }

private:
  std::vector<std::string> items_;
};

}  // namespace kivo
