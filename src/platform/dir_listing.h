// Listing the entries of one host folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

struct TDirEntry {
  std::string name;  // the bytes as stored on disk
  bool isFolder = false;
  bool isSymlink = false;  // a link; isFolder and the rest describe what it points to
  bool isReadOnly = false;  // nobody may write it
  int64_t size = 0;
  int64_t modifiedSeconds = 0;  // since the epoch
};

// The entries of folder ("." and ".." left out), sorted by name; false when it cannot be read.
bool ListDirectory(const std::string& folder, std::vector<TDirEntry>& entries);

}  // namespace kivo
