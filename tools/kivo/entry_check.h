// Walks an entry's stored bytes once, giving its plain size and the checksums the rules allow.
#pragma once

#include <cstdint>
#include <string>

#include "vfs/vr_file_collection.h"

namespace kivo::tool {

struct TEntryFacts {
  bool readable = true;  // false: the stored bytes are damaged (the reason is in problem)
  std::string problem;
  int64_t plainSize = 0;
  uint32_t storedCrc = 0;
  uint32_t plainCrc = 0;
  // The checksum the entry should carry by its checksum-of-plain flag.
  uint32_t ExpectedChecksum(const TVrFile& entry) const { return entry.checksumOfPlain ? plainCrc : storedCrc; }
};

TEntryFacts ExamineEntry(TVrFileCollection& source, const TVrFile& entry);

}  // namespace kivo::tool
