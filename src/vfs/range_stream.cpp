// Clamped seek and read of the windows.
#include "vfs/range_stream.h"

#include <algorithm>

#include "vfs/big_file_stream.h"
#include "vfs/pe_resource.h"

namespace kivo {

TRangeStream::TRangeStream(std::unique_ptr<TTpBigStream> underlying, int64_t length, int64_t start)
    : TRangeStream(std::move(underlying), length, start, true) {}

TRangeStream::TRangeStream(std::unique_ptr<TTpBigStream> underlying, int64_t length, int64_t start, bool zeroIsWhole)
    : underlying_(std::move(underlying)), start_(std::max<int64_t>(start, 0)), length_(std::max<int64_t>(length, 0)) {
  if (length_ == 0 && zeroIsWhole) length_ = underlying_->Size();
  current_ = underlying_->Seek(start_, SeekOrigin::Begin);
}

std::unique_ptr<TRangeStream> TRangeStream::Exact(std::unique_ptr<TTpBigStream> underlying, int64_t length,
                                                  int64_t start) {
  return std::unique_ptr<TRangeStream>(new TRangeStream(std::move(underlying), length, start, false));
}

int64_t TRangeStream::Seek(int64_t offset, SeekOrigin origin) {
  std::lock_guard guard(lock_);
  int64_t target;
  switch (origin) {
    case SeekOrigin::Begin: target = start_ + offset; break;
    case SeekOrigin::Current: target = current_ + offset; break;
    case SeekOrigin::End: target = start_ + length_ + offset; break;
    default: target = current_; break;
  }
  target = std::clamp(target, start_, start_ + length_);
  // The underlying stream may be shorter than the window; the window keeps its own position.
  underlying_->Seek(target, SeekOrigin::Begin);
  current_ = target;
  return target - start_;
}

int64_t TRangeStream::Read(void* buffer, int64_t count) {
  std::lock_guard guard(lock_);
  int64_t n = std::min(count, start_ + length_ - current_);
  if (n <= 0) return 0;
  if (underlying_->Position() != current_) underlying_->Seek(current_, SeekOrigin::Begin);
  int64_t got = underlying_->Read(buffer, n);
  if (got > 0) current_ += got;
  return std::max<int64_t>(got, 0);
}

TFileRangeStream::TFileRangeStream(const std::string& fileName, int64_t length, int64_t start)
    : TRangeStream(std::make_unique<TTpBigFileStream>(fileName, BigFileMode::Read), length, start) {}

TResourceRangeStream::TResourceRangeStream(const std::string& modulePath, const std::string& resourceName,
                                           int64_t length, int64_t start, const std::string& resourceType)
    : TRangeStream(std::make_unique<TTpBigResourceStream>(modulePath, resourceName, resourceType), length, start) {}

}  // namespace kivo
