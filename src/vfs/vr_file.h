// TVrFile: one entry of a data source (an archive entry, a loose file to be packed, or bytes in memory).
#pragma once

#include <cstdint>
#include <memory>

#include "support/hash_collection.h"
#include "support/stream.h"

namespace kivo {

enum : uint8_t { kStoredCompressed = 0, kStoredPlain = 1 };

class TVrFile : public THashCollectionItem {
public:
  int64_t offset = 0;  // absolute within the source's archive stream
  int64_t size = 0;    // stored bytes
  uint8_t storage = kStoredCompressed;
  int32_t timeStamp = 0;  // DOS date-time of the file it was written from, else 0
  uint32_t checksum = 0;
  uint8_t checksumOfPlain = 0;  // the checksum covers the plain bytes rather than the stored ones
  // Only for entries made at run time: their bytes.
  std::unique_ptr<TMemoryStream> memory;

  bool IsPlain() const { return storage != kStoredCompressed; }
  bool InMemory() const { return memory != nullptr; }
};

}  // namespace kivo
