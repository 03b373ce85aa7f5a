// TFolderDiskList: folder paths, each with the number of the disc that holds it, and its stream form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/stream.h"

namespace kivo {

// Stream form: int32 count, then per entry the folder string and the int32 disc number.
class TFolderDiskList {
public:
  struct TEntry {
    std::string folder;
    int32_t disc = 0;
    bool operator==(const TEntry&) const = default;
  };

  void Add(std::string folder, int32_t disc) { entries_.push_back({std::move(folder), disc}); }
  void Clear() { entries_.clear(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::vector<TEntry>& Entries() const { return entries_; }

  // The disc of the deepest listed folder that holds path ("\"-separated, compared ignoring
  // case); 0 when none does.
  int32_t DiscOf(std::string_view path) const;

  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream);

private:
  std::vector<TEntry> entries_;
};

}  // namespace kivo
