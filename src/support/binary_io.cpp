// The checked reader, the writer and the versioned record fields.
#include "support/binary_io.h"

#include <algorithm>

#include "platform/kivo_error.h"

namespace kivo {

TBinaryReader::TBinaryReader(TStream& stream) : stream_(stream), end_(stream.Size()) {}

TBinaryReader::TBinaryReader(TStream& stream, int64_t endPosition)
    : stream_(stream), end_(std::min(endPosition, stream.Size())) {}

int64_t TBinaryReader::Remaining() { return std::max<int64_t>(0, end_ - stream_.Position()); }

void TBinaryReader::Need(int64_t count) {
  if (count < 0 || count > Remaining()) throw EKivoError("Stream read error");
}

void TBinaryReader::Bytes(void* buffer, int64_t count) {
  if (count <= 0) return;
  Need(count);
  stream_.ReadBuffer(buffer, count);
}

uint8_t TBinaryReader::Byte() {
  uint8_t v;
  Bytes(&v, 1);
  return v;
}

bool TBinaryReader::Bool() { return Byte() != 0; }

int16_t TBinaryReader::Int16() { return static_cast<int16_t>(UInt16()); }

uint16_t TBinaryReader::UInt16() {
  uint8_t b[2];
  Bytes(b, 2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

int32_t TBinaryReader::Int32() { return static_cast<int32_t>(UInt32()); }

uint32_t TBinaryReader::UInt32() {
  uint8_t b[4];
  Bytes(b, 4);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

int64_t TBinaryReader::Int64() {
  uint64_t lo = UInt32();
  uint64_t hi = UInt32();
  return static_cast<int64_t>(lo | (hi << 32));
}

Extended TBinaryReader::ExtendedValue() {
  ExtendedBytes b;
  Bytes(b.data(), static_cast<int64_t>(b.size()));
  return BytesToExtended(b);
}

std::string TBinaryReader::String() {
  int32_t count = Int32();
  if (count <= 0) return {};
  return FixedText(count);
}

std::string TBinaryReader::FixedText(int64_t count) {
  Need(count);
  std::string s(static_cast<size_t>(count), '\0');
  Bytes(s.data(), count);
  return s;
}

std::vector<uint8_t> TBinaryReader::Block(int64_t count) {
  Need(count);
  std::vector<uint8_t> v(static_cast<size_t>(count));
  Bytes(v.data(), count);
  return v;
}

int32_t TBinaryReader::Count(int64_t minElementSize) {
  int32_t count = Int32();
  if (count < 0 || (minElementSize > 0 && count > Remaining() / minElementSize))
    throw EKivoError("Stream read error: count beyond the data");
  return count;
}

void TBinaryReader::Skip(int64_t count) {
  Need(count);
  stream_.Seek(count, SeekOrigin::Current);
}

void TBinaryWriter::Int16(int16_t v) {
  uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8)};
  Bytes(b, 2);
}

void TBinaryWriter::Int32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                  static_cast<uint8_t>(u >> 24)};
  Bytes(b, 4);
}

void TBinaryWriter::Int64(int64_t v) {
  Int32(static_cast<int32_t>(static_cast<uint64_t>(v)));
  Int32(static_cast<int32_t>(static_cast<uint64_t>(v) >> 32));
}

void TBinaryWriter::ExtendedValue(Extended v) {
  ExtendedBytes b = ExtendedToBytes(v);
  Bytes(b.data(), static_cast<int64_t>(b.size()));
}

void TBinaryWriter::String(const std::string& v) {
  Int32(static_cast<int32_t>(v.size()));
  FixedText(v);
}

#define KIVO_RECORD_FIELD(Name, Type)         \
  void TRecordIO::Name(Type& v, Gate gate) {  \
    if (!Has(gate)) return;                   \
    if (reader_)                              \
      v = reader_->Name();                    \
    else                                      \
      writer_->Name(v);                       \
  }

KIVO_RECORD_FIELD(Byte, uint8_t)
KIVO_RECORD_FIELD(Bool, bool)
KIVO_RECORD_FIELD(Int16, int16_t)
KIVO_RECORD_FIELD(Int32, int32_t)
KIVO_RECORD_FIELD(Int64, int64_t)
KIVO_RECORD_FIELD(ExtendedValue, Extended)
KIVO_RECORD_FIELD(String, std::string)

#undef KIVO_RECORD_FIELD

}  // namespace kivo
