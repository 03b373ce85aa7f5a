// The ordinary file stream and the write-then-rename file.
#include "vfs/file_stream.h"

#include <algorithm>

#include "platform/kivo_error.h"
#include "platform/paths.h"

namespace kivo {

TFileStream::TFileStream(const std::string& path, FileAccess access)
    : file_(TFileHandle::Open(path, access)), writable_(access != FileAccess::Read) {
  if (!file_) throw EKivoError("cannot open " + PathForMessage(path));
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  int64_t n = file_->ReadAt(position_, buffer, count);
  position_ += n;
  return n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || !writable_) return 0;
  int64_t n = file_->WriteAt(position_, buffer, count);
  position_ += n;
  return n;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : Size();
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

TAtomicFile::TAtomicFile(std::string path) : path_(std::move(path)), temporary_(TemporarySibling(path_)) {
  stream_ = std::make_unique<TFileStream>(temporary_, FileAccess::Create);
}

TAtomicFile::~TAtomicFile() {
  if (stream_) {
    stream_.reset();
    DeleteFile(temporary_);
  }
}

void TAtomicFile::Commit() {
  stream_->Flush();
  stream_.reset();
  if (!RenameFile(temporary_, path_)) {
    DeleteFile(temporary_);
    throw EKivoError("cannot write " + PathForMessage(path_));
  }
}

}  // namespace kivo
