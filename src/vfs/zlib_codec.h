// zlib streams of archive entries: level-1 deflate, checked inflate (whole or streaming), CRC-32.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "support/stream.h"

namespace kivo {

uint32_t Crc32(uint32_t crc, const void* data, int64_t size);
inline uint32_t Crc32(const void* data, int64_t size) { return Crc32(0, data, size); }

// Compresses with level 1, the level archives are written with.
std::vector<uint8_t> Deflate(const void* data, int64_t size);

// Inflates one whole zlib stream. A damaged or truncated stream raises EKivoError, so a partial
// result is never taken for the entry.
std::vector<uint8_t> Inflate(const void* data, int64_t size);
// Reads into memory never inflate past this: no game file needs more, and a hostile entry of a few
// megabytes could otherwise ask for gigabytes. Larger entries are read through TInflater.
constexpr int64_t kInflateInMemoryLimit = int64_t{1} << 30;
// The same into out, whose present bytes are used as room before it grows. Output past limit
// raises EKivoError.
void InflateInto(const void* data, int64_t size, std::vector<uint8_t>& out, int64_t limit = kInflateInMemoryLimit);

// Inflates a zlib stream that arrives in pieces; each piece of output goes to the sink.
class TInflater {
public:
  using Sink = std::function<void(const uint8_t* data, size_t size)>;
  explicit TInflater(Sink sink);
  ~TInflater();
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  void Feed(const void* data, int64_t size);
  // Raises EKivoError unless the stream ended properly.
  void Finish();

private:
  struct TState;
  std::unique_ptr<TState> state_;
  Sink sink_;
  bool ended_ = false;
};

// A write-only stream whose bytes go into an inflater.
class TInflaterStream : public TStream {
public:
  explicit TInflaterStream(TInflater& inflater) : inflater_(inflater) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    inflater_.Feed(buffer, count);
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { return 0; }

private:
  TInflater& inflater_;
};

}  // namespace kivo
