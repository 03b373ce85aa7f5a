// The ordinary stream family (read, write, seek over bytes) and the growable memory stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

enum class SeekOrigin { Begin = 0, Current = 1, End = 2 };

class TStream {
public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns what was read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to count bytes; returns what was written (0 for read-only streams).
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Size();

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t position) { Seek(position, SeekOrigin::Begin); }

  // Reads or writes exactly count bytes or raises the stream error.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source's current position (count 0: all of source from its start).
  int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable in-memory stream; the bytes stay reachable for zero-copy readers.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }

  void SetSize(int64_t size);
  void Clear();
  const uint8_t* Memory() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t> TakeBytes();

private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

}  // namespace kivo
