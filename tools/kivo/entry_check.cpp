// Streaming inflate and CRC of one entry, without holding it in memory.
#include "entry_check.h"

#include "platform/kivo_error.h"
#include "vfs/zlib_codec.h"

namespace kivo::tool {
namespace {

// A sink stream that only counts and checksums what is written to it.
class TChecksumStream : public TStream {
public:
  explicit TChecksumStream(TEntryFacts& facts, bool plainSide) : facts_(facts), plainSide_(plainSide) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    if (plainSide_) {
      facts_.plainCrc = Crc32(facts_.plainCrc, buffer, count);
      facts_.plainSize += count;
    } else {
      facts_.storedCrc = Crc32(facts_.storedCrc, buffer, count);
      if (inflater_) inflater_->Feed(buffer, count);
    }
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { return 0; }
  std::unique_ptr<TInflater> inflater_;

private:
  TEntryFacts& facts_;
  bool plainSide_;
};

}  // namespace

TEntryFacts ExamineEntry(TVrFileCollection& source, const TVrFile& entry) {
  TEntryFacts facts;
  TChecksumStream plain(facts, true);
  TChecksumStream stored(facts, false);
  if (!entry.IsPlain() && !entry.InMemory() && entry.size > 0)
    stored.inflater_ = std::make_unique<TInflater>([&](const uint8_t* data, size_t size) {
      plain.Write(data, static_cast<int64_t>(size));
    });
  try {
    source.ReadStoredBytes(entry, stored);
    if (stored.inflater_) {
      stored.inflater_->Finish();
    } else if (entry.IsPlain() || entry.InMemory()) {
      facts.plainCrc = facts.storedCrc;
      facts.plainSize = entry.InMemory() ? entry.memory->Size() : entry.size;
    }
  } catch (const EKivoError& e) {
    facts.readable = false;
    facts.problem = e.what();
  }
  return facts;
}

}  // namespace kivo::tool
