// Volume addressing, reading and writing of the multi-volume file stream.
#include "vfs/big_file_stream.h"

#include <algorithm>
#include <cstdio>

#include "platform/kivo_error.h"
#include "platform/paths.h"

namespace kivo {

std::string TTpBigFileStream::VolumeName(const std::string& fileName, int index) {
  if (index == 0) return fileName;
  size_t slash = fileName.find_last_of("/\\");
  size_t dot = fileName.rfind('.');
  std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? fileName.substr(0, dot)
                                                                                              : fileName;
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".%03d", index);
  return stem + suffix;
}

TTpBigFileStream::TTpBigFileStream(const std::string& fileName, BigFileMode mode) : fileName_(fileName), mode_(mode) {
  if (mode == BigFileMode::Create) {
    // Stale volumes of an older, longer file would otherwise be read as the continuation.
    for (int i = 0;; ++i) {
      std::string name = VolumeName(fileName, i);
      if (!FileExists(name)) break;
      DeleteFile(name);
    }
    auto file = TFileHandle::Open(fileName, FileAccess::Create);
    if (!file) throw EKivoError("cannot create " + PathForMessage(fileName));
    volumes_.push_back({std::move(file), 0});
    return;
  }
  FileAccess access = mode == BigFileMode::Read ? FileAccess::Read : FileAccess::ReadWrite;
  for (int i = 0; i < 1000; ++i) {
    auto file = TFileHandle::Open(VolumeName(fileName, i), access);
    if (!file) {
      if (i == 0) throw EKivoError("cannot open " + PathForMessage(fileName));
      break;
    }
    int64_t size = file->Size();
    volumes_.push_back({std::move(file), size});
  }
}

TTpBigFileStream::~TTpBigFileStream() {
  if (mode_ == BigFileMode::Read) return;
  for (TVolume& volume : volumes_) {
    try {
      volume.file->Flush();
    } catch (const EKivoError&) {
      // A destructor cannot report; writers that care flush before letting go.
    }
  }
}

int64_t TTpBigFileStream::Size() {
  int64_t total = 0;
  for (const TVolume& volume : volumes_) total += volume.size;
  return total;
}

int64_t TTpBigFileStream::Seek(int64_t offset, SeekOrigin origin) {
  position_ = SeekTarget(position_, offset, origin);
  return position_;
}

// Volumes are addressed by their real sizes. For a set written by this stream that is exactly
// p div 2^30; it also reads a single file larger than one volume correctly.
size_t TTpBigFileStream::VolumeAt(int64_t p, int64_t& start) const {
  start = 0;
  for (size_t i = 0; i + 1 < volumes_.size(); ++i) {
    if (p < start + volumes_[i].size) return i;
    start += volumes_[i].size;
  }
  return volumes_.size() - 1;
}

int64_t TTpBigFileStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    int64_t start;
    size_t i = VolumeAt(position_, start);
    int64_t inVolume = position_ - start;
    int64_t n = std::min(count - done, volumes_[i].size - inVolume);
    if (n <= 0) break;
    int64_t got = volumes_[i].file->ReadAt(inVolume, out + done, n);
    position_ += got;
    done += got;
    if (got < n) break;
  }
  return done;
}

int64_t TTpBigFileStream::Write(const void* buffer, int64_t count) {
  if (mode_ == BigFileMode::Read || count <= 0) return 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    int64_t start;
    size_t i = VolumeAt(position_, start);
    TVolume* volume = &volumes_[i];
    int64_t inVolume = position_ - start;
    bool lastVolume = i + 1 == volumes_.size();
    int64_t room = lastVolume ? std::max(kVolumeSize, volume->size) - inVolume : volume->size - inVolume;
    if (room <= 0) {
      std::string name = VolumeName(fileName_, static_cast<int>(volumes_.size()));
      auto file = TFileHandle::Open(name, FileAccess::Create);
      if (!file) throw EKivoError("cannot create " + PathForMessage(name));
      volumes_.push_back({std::move(file), 0});
      continue;
    }
    int64_t n = std::min(count - done, room);
    volume->file->WriteAt(inVolume, in + done, n);
    volume->size = std::max(volume->size, inVolume + n);
    position_ += n;
    done += n;
  }
  return done;
}

}  // namespace kivo
