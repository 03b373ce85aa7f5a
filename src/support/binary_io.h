// Bounds-checked little-endian reading and writing of the basic encodings, and versioned records.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "support/extended.h"
#include "support/stream.h"

namespace kivo {

// Reads the basic encodings from a stream. Every read is checked against the end of the data
// (the stream size, or a tighter limit), so a count or size that reaches past it raises a clear
// error instead of a huge allocation or a short read.
class TBinaryReader {
public:
  explicit TBinaryReader(TStream& stream);
  TBinaryReader(TStream& stream, int64_t endPosition);

  uint8_t Byte();
  bool Bool();
  int16_t Int16();
  uint16_t UInt16();
  int32_t Int32();
  uint32_t UInt32();
  int64_t Int64();
  Extended ExtendedValue();
  // int32 byte count, then the bytes; a count of 0 or less is the empty string.
  std::string String();
  void Bytes(void* buffer, int64_t count);
  std::vector<uint8_t> Block(int64_t count);
  std::string FixedText(int64_t count);
  // An element count that must be non-negative and leave room for count * minElementSize bytes.
  int32_t Count(int64_t minElementSize = 1);
  void Skip(int64_t count);

  int64_t Position() { return stream_.Position(); }
  int64_t Remaining();
  int64_t End() const { return end_; }
  TStream& Stream() { return stream_; }

private:
  void Need(int64_t count);

  TStream& stream_;
  int64_t end_;
};

class TBinaryWriter {
public:
  explicit TBinaryWriter(TStream& stream) : stream_(stream) {}

  void Byte(uint8_t v) { stream_.WriteBuffer(&v, 1); }
  void Bool(bool v) { Byte(v ? 1 : 0); }
  void Int16(int16_t v);
  void UInt16(uint16_t v) { Int16(static_cast<int16_t>(v)); }
  void Int32(int32_t v);
  void UInt32(uint32_t v) { Int32(static_cast<int32_t>(v)); }
  void Int64(int64_t v);
  void ExtendedValue(Extended v);
  void String(const std::string& v);
  void Bytes(const void* buffer, int64_t count) { stream_.WriteBuffer(buffer, count); }
  void FixedText(const std::string& v) { Bytes(v.data(), static_cast<int64_t>(v.size())); }

  TStream& Stream() { return stream_; }

private:
  TStream& stream_;
};

// The versions in which a field of a record is present: since <= version <= until.
struct Gate {
  int since = INT_MIN;
  int until = INT_MAX;
};

// One field list for both directions: a record's Serialize(TRecordIO&) names each field once,
// with its version gate beside it, and serves loading and saving alike. Fields outside their
// gate are skipped (a read leaves the caller's default in place).
class TRecordIO {
public:
  TRecordIO(TBinaryReader& reader, int version) : reader_(&reader), version_(version) {}
  TRecordIO(TBinaryWriter& writer, int version) : writer_(&writer), version_(version) {}

  bool Reading() const { return reader_ != nullptr; }
  int Version() const { return version_; }
  bool Has(Gate gate) const { return version_ >= gate.since && version_ <= gate.until; }

  void Byte(uint8_t& v, Gate gate = {});
  void Bool(bool& v, Gate gate = {});
  void Int16(int16_t& v, Gate gate = {});
  void Int32(int32_t& v, Gate gate = {});
  void Int64(int64_t& v, Gate gate = {});
  void ExtendedValue(Extended& v, Gate gate = {});
  void String(std::string& v, Gate gate = {});

  TBinaryReader& Reader() { return *reader_; }
  TBinaryWriter& Writer() { return *writer_; }

private:
  TBinaryReader* reader_ = nullptr;
  TBinaryWriter* writer_ = nullptr;
  int version_;
};

}  // namespace kivo
