// CopyStream.
#include "support/copy_stream.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/kivo_error.h"

namespace kivo {

int64_t CopyStream(TStream& dest, TStream& source, int64_t size) {
  if (size == 0) {
    source.SetPosition(0);
    size = source.Size();
  }
  if (size <= 0) return 0;

  if (auto* memory = dynamic_cast<TMemoryStream*>(&source)) {
    int64_t position = memory->Position();
    if (size > memory->Size() - position) throw EKivoError("Stream read error");
    dest.WriteBuffer(memory->Memory() + position, size);
    memory->SetPosition(position + size);
    return size;
  }

  constexpr int64_t kMiB = 1 << 20;
  int64_t bufferSize = std::min(size, 10 * kMiB);
  std::vector<uint8_t> buffer;
  for (;;) {
    try {
      buffer.resize(static_cast<size_t>(bufferSize));
      break;
    } catch (const std::bad_alloc&) {
      bufferSize -= kMiB;
      if (bufferSize <= 0) throw;
    }
  }
  for (int64_t done = 0; done < size;) {
    int64_t n = std::min(size - done, bufferSize);
    source.ReadBuffer(buffer.data(), n);
    dest.WriteBuffer(buffer.data(), n);
    done += n;
  }
  return size;
}

}  // namespace kivo
