// TFileStream: the ordinary stream over a host file.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "support/stream.h"

namespace kivo {

class TFileStream : public TStream {
public:
  // Raises EKivoError when the file cannot be opened with that access.
  TFileStream(const std::string& path, FileAccess access);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return file_->Size(); }

  void Flush() { file_->Flush(); }
  void Truncate() { file_->Truncate(position_); }
  TFileHandle& Handle() { return *file_; }

private:
  std::unique_ptr<TFileHandle> file_;
  bool writable_;
  int64_t position_ = 0;
};

// Writes a file under a temporary name beside its final one; Commit flushes it and renames it
// over the final name, so a crash or an error never leaves a half-written file behind. Without
// Commit the temporary file is removed.
class TAtomicFile {
public:
  explicit TAtomicFile(std::string path);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  TFileStream& Stream() { return *stream_; }
  void Commit();

private:
  std::string path_;
  std::string temporary_;
  std::unique_ptr<TFileStream> stream_;
};

}  // namespace kivo
