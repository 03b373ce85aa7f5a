// The big-stream family: streams with 64-bit sizes and positions that the data layer reads
// archives through, the in-memory big stream, and the buffered reader for archive directories.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/stream.h"

namespace kivo {

// The base of the family. Positions never pass the end: a seek beyond the size stops at the
// size. The base itself holds nothing; its operations do nothing and return 0.
class TTpBigStream : public TStream {
public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return 0; }

  // Copies count bytes from the current position into destination (count 0: up to the end).
  virtual int64_t CopyTo(TStream& destination, int64_t count);

protected:
  // The clamped target of a seek.
  int64_t SeekTarget(int64_t current, int64_t offset, SeekOrigin origin);
};

// Big stream in memory, with whole-file save and load.
class TTpBigMemoryStream : public TTpBigStream {
public:
  TTpBigMemoryStream() = default;
  explicit TTpBigMemoryStream(std::vector<uint8_t> bytes) : memory_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override { return memory_.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override { return memory_.Write(buffer, count); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return memory_.Size(); }

  // Raises EKivoError when the file cannot be read or written.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);
  TMemoryStream& Memory() { return memory_; }

private:
  TMemoryStream memory_;
};

// The ordinary growable memory stream serves in-memory archive entries and scratch data.
using TTpMemoryStream = TMemoryStream;

// Speeds up the many small reads of an archive directory. It reads ahead from the underlying
// stream (not owned); when it goes away it moves the underlying position back over the bytes it
// read ahead but never handed out, so the next reader starts right after the last byte used.
class TTpBuffBigStream : public TStream {
public:
  static constexpr int64_t kBufferSize = 102400;

  explicit TTpBuffBigStream(TStream& underlying) : underlying_(underlying) {}
  ~TTpBuffBigStream() override;
  TTpBuffBigStream(const TTpBuffBigStream&) = delete;
  TTpBuffBigStream& operator=(const TTpBuffBigStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return underlying_.Size(); }

private:
  void Drop();

  TStream& underlying_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;  // bytes of buffer_ already handed out
};

}  // namespace kivo
