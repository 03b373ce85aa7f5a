// TArrayString: an array of strings with its stream form.
#pragma once

#include <string>
#include <vector>

#include "support/stream.h"

namespace kivo {

// Stream form: int32 count, then each string (int32 length + bytes).
class TArrayString {
public:
  void Add(std::string s) { items_.push_back(std::move(s)); }
  void Assign(const TArrayString& other) { items_ = other.items_; }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises "Error:TArrayString.Get" for an index outside the list.
  const std::string& Get(int i) const;
  const std::vector<std::string>& Items() const { return items_; }

  void SaveToStream(TStream& stream) const;
  // Clears first; a count beyond the data raises an error.
  void LoadFromStream(TStream& stream);

private:
  std::vector<std::string> items_;
};

}  // namespace kivo
