// TTpBigFileStream: an archive file split into volumes of 1 GiB (game.dat, game.001, game.002 ...).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "vfs/big_stream.h"

namespace kivo {

enum class BigFileMode {
  Read,       // every existing volume, read only
  ReadWrite,  // every existing volume, read and write
  Create,     // existing volumes deleted, a new volume 0 created
};

class TTpBigFileStream : public TTpBigStream {
public:
  static constexpr int64_t kVolumeSize = int64_t{1} << 30;
  static constexpr int64_t kCopyBufferSize = 1048576;

  // Raises EKivoError when volume 0 cannot be opened or created.
  TTpBigFileStream(const std::string& fileName, BigFileMode mode);
  ~TTpBigFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;

  // The file of volume i: the name itself for 0, else its extension replaced by ".001", ".002" ...
  static std::string VolumeName(const std::string& fileName, int index);
  int VolumeCount() const { return static_cast<int>(volumes_.size()); }
  const std::string& FileName() const { return fileName_; }

private:
  struct TVolume {
    std::unique_ptr<TFileHandle> file;
    int64_t size = 0;
  };
  // The volume holding position p and the position where it starts.
  size_t VolumeAt(int64_t p, int64_t& start) const;

  std::string fileName_;
  BigFileMode mode_;
  int64_t position_ = 0;
  std::vector<TVolume> volumes_;
};

}  // namespace kivo
