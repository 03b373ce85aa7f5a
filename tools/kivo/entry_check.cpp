// Streaming inflate and CRC of one entry, without holding it in memory.
#include "entry_check.h"

#include "platform/kivo_error.h"
#include "vfs/zlib_codec.h"

namespace kivo::tool {
namespace {

// A sink that counts and checksums what is written to it.
class TChecksumStream : public TStream {
public:
  TChecksumStream(uint32_t& crc, int64_t* size) : crc_(crc), size_(size) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    crc_ = Crc32(crc_, buffer, count);
    if (size_) *size_ += count;
    if (next_) next_->Write(buffer, count);
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { return 0; }
  TStream* next_ = nullptr;  // where the bytes go on to

private:
  uint32_t& crc_;
  int64_t* size_;
};

}  // namespace

TEntryFacts ExamineEntry(TVrFileCollection& source, const TVrFile& entry) {
  TEntryFacts facts;
  TChecksumStream plain(facts.plainCrc, &facts.plainSize);
  TChecksumStream stored(facts.storedCrc, nullptr);
  bool compressed = !entry.IsPlain() && !entry.InMemory() && entry.size > 0;
  TInflater inflater([&](const uint8_t* data, size_t size) { plain.Write(data, static_cast<int64_t>(size)); });
  TInflaterStream inflating(inflater);
  stored.next_ = compressed ? static_cast<TStream*>(&inflating) : &plain;
  try {
    source.ReadStoredBytes(entry, stored);
    if (compressed) inflater.Finish();
  } catch (const EKivoError& e) {
    facts.readable = false;
    facts.problem = e.what();
  }
  return facts;
}

}  // namespace kivo::tool
