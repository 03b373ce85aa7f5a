// TKivoInstallSet: the content of "install.dat", read in every version and written as version 108.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/stream.h"

namespace kivo {

class TRecordIO;

// The player uses DiscIndex, Title, AllInstalled and Files; every other field is the authoring
// tool's and is carried through a load and save unchanged.
class TKivoInstallSet {
public:
  static constexpr int kVersion = 108;

  int32_t DiscIndex = 0;  // discs count from 0
  std::string Title;
  std::array<std::string, 3> Strings4 = {};
  uint8_t ByteA = 0;
  std::string String8;
  uint8_t ByteB = 0;
  std::string String11;
  int32_t IntC = 0;
  uint8_t ByteD = 0;
  uint8_t ByteE = 0;
  std::array<std::string, 2> Strings13 = {};
  // Four 8-byte values per entry; the entry count is written before String11.
  std::vector<std::array<int64_t, 4>> Entries;
  std::array<int64_t, 4> Values16 = {};
  uint8_t ByteF = 0;
  uint8_t ByteG = 0;
  std::vector<std::string> Files;
  uint8_t AllInstalled = 0;
  uint8_t ByteH = 0;
  uint8_t ByteI = 0;
  std::vector<std::string> Strings23;
  std::string String24;
  std::array<std::string, 2> Strings25 = {};

  // The version of the file last loaded (0 for one without the "is" mark).
  int LoadedVersion() const { return loadedVersion_; }

  // Host paths. A file that cannot be read or holds bad data raises an error.
  void LoadFromFile(const std::string& path);
  void LoadFromStream(TStream& stream);
  // Written to a temporary name and renamed over the old file.
  void SaveToFile(const std::string& path) const;
  void SaveToStream(TStream& stream) const;

  // Index in Files ignoring case, or -1.
  int IndexOfFile(std::string_view name) const;
  // Adds name unless it is already listed.
  void AddFile(const std::string& name);

private:
  // The one field list for reading and writing, gated by version.
  void Fields(TRecordIO& io);

  int loadedVersion_ = 0;
};

}  // namespace kivo
