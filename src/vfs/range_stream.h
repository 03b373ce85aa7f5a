// TRangeStream: a read-only window onto part of a big stream, safe to use from the media threads.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "support/stream.h"
#include "vfs/big_stream.h"

namespace kivo {

// Seeks are clamped into [start, start + length] and reads are cut at its end. Each window owns
// its own underlying stream and guards seek and read with its own lock, so windows may be read
// from different threads at once.
class TRangeStream : public TStream {
public:
  // Length 0 means the whole underlying stream (from start, whatever start is), as the media
  // players expect for a window over a whole disk file.
  TRangeStream(std::unique_ptr<TTpBigStream> underlying, int64_t length, int64_t start);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  // Returns the new position relative to start.
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return length_; }

  int64_t Start() const { return start_; }
  int64_t Length() const { return length_; }

  // A window of exactly that length, also when it is 0 (the window over an empty entry).
  static std::unique_ptr<TRangeStream> Exact(std::unique_ptr<TTpBigStream> underlying, int64_t length, int64_t start);

protected:
  TRangeStream(std::unique_ptr<TTpBigStream> underlying, int64_t length, int64_t start, bool zeroIsWhole);

private:
  std::unique_ptr<TTpBigStream> underlying_;
  int64_t start_;
  int64_t length_;
  int64_t current_;  // absolute position in the underlying stream
  std::mutex lock_;
};

// A window onto a disk file, opened read-only on its own.
class TFileRangeStream : public TRangeStream {
public:
  // Raises EKivoError when the file cannot be opened.
  TFileRangeStream(const std::string& fileName, int64_t length, int64_t start);
};

// A window onto a program resource. The module is the file the resource archive came from (the
// original player always used its own module; ours has no resources).
class TResourceRangeStream : public TRangeStream {
public:
  TResourceRangeStream(const std::string& modulePath, const std::string& resourceName, int64_t length, int64_t start,
                       const std::string& resourceType);
};

}  // namespace kivo
