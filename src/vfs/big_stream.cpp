// The big-stream base, the memory big stream and the buffered directory reader.
#include "vfs/big_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/kivo_error.h"
#include "vfs/file_stream.h"

namespace kivo {

int64_t TTpBigStream::Read(void*, int64_t) { return 0; }
int64_t TTpBigStream::Write(const void*, int64_t) { return 0; }
int64_t TTpBigStream::Seek(int64_t, SeekOrigin) { return 0; }

int64_t TTpBigStream::SeekTarget(int64_t current, int64_t offset, SeekOrigin origin) {
  int64_t size = Size();
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? current : size;
  return std::clamp<int64_t>(base + offset, 0, size);
}

int64_t TTpBigStream::CopyTo(TStream& destination, int64_t count) {
  int64_t left = Size() - Position();
  if (count <= 0 || count > left) count = std::max<int64_t>(left, 0);
  constexpr int64_t kChunk = 1 << 20;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(count, kChunk)));
  int64_t done = 0;
  while (done < count) {
    int64_t n = Read(buffer.data(), std::min(count - done, kChunk));
    if (n <= 0) break;
    destination.WriteBuffer(buffer.data(), n);
    done += n;
  }
  return done;
}

int64_t TTpBigMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  return memory_.Seek(SeekTarget(memory_.Position(), offset, origin), SeekOrigin::Begin);
}

void TTpBigMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream file(path, FileAccess::Read);
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  memory_ = TMemoryStream(std::move(bytes));
}

void TTpBigMemoryStream::SaveToFile(const std::string& path) {
  TAtomicFile file(path);
  file.Stream().WriteBuffer(memory_.Memory(), memory_.Size());
  file.Commit();
}

TTpBuffBigStream::~TTpBuffBigStream() { Drop(); }

int64_t TTpBuffBigStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    if (used_ == buffer_.size()) {
      int64_t fill = std::min(kBufferSize, underlying_.Size() - underlying_.Position());
      if (fill <= 0) break;
      buffer_.resize(static_cast<size_t>(fill));
      used_ = 0;
      int64_t got = underlying_.Read(buffer_.data(), fill);
      buffer_.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
      if (got <= 0) break;
    }
    size_t n = std::min(static_cast<size_t>(count - done), buffer_.size() - used_);
    std::memcpy(out + done, buffer_.data() + used_, n);
    used_ += n;
    done += static_cast<int64_t>(n);
  }
  return done;
}

void TTpBuffBigStream::Drop() {
  int64_t unread = static_cast<int64_t>(buffer_.size() - used_);
  if (unread > 0) underlying_.Seek(-unread, SeekOrigin::Current);
  buffer_.clear();
  used_ = 0;
}

int64_t TTpBuffBigStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t unread = static_cast<int64_t>(buffer_.size() - used_);
  if (origin == SeekOrigin::Current && offset >= 0 && offset <= unread) {
    used_ += static_cast<size_t>(offset);
    return underlying_.Position() - (unread - offset);
  }
  Drop();
  return underlying_.Seek(offset, origin);
}

}  // namespace kivo
