// TVrFileCollection: one data source — an archive's directory and stream, the folder of loose files
// beside it, in-memory entries — and the archive reader and writer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/hash_collection.h"
#include "vfs/big_stream.h"
#include "vfs/range_stream.h"
#include "vfs/vr_file.h"

namespace kivo {

// The fixed seed of the name and offset scrambling (versions 100 and later).
constexpr int32_t kArchiveSeed = 0x75D6EE39;
constexpr int32_t kArchiveVersion = 102;
// In-memory entries and copied entries this large are stored plain.
constexpr int64_t kPlainStorageSize = 5242880;
// The name of the directory's terminator entry.
inline const char kEofEntryName[] = "\\EOF\\";

struct TWriteProgress {
  const TVrFile* entry;
  int32_t index;
  int32_t count;
  int64_t bytesWritten;  // -1 before the entry is stored, its stored size after
};

class TVrFileCollection : public THashCollection {
public:
  // Returns false to cancel the writing.
  using ProgressFunction = std::function<bool(const TWriteProgress&)>;
  // Told about an entry that could not be stored, just before the error propagates.
  using StoreErrorFunction = std::function<void(const std::string& entryName, const std::string& message)>;

  TVrFileCollection();
  ~TVrFileCollection() override;

  // Replaces the contents with the archive at path (program files by their trailer, an ".ext"
  // index companion beside it); a path that names no file becomes the folder of loose files.
  void Open(const std::string& path);
  // Replaces the contents with the archive stored as a resource of a Windows program file.
  void OpenResource(const std::string& modulePath, const std::string& resourceName, const std::string& resourceType);
  // Reads a directory from the stream's current position, which becomes the base. Offsets and
  // sizes must lie within dataSize bytes of the data stream (-1: the stream's own size).
  void ReadDirectory(TStream& stream, int64_t dataSize = -1);
  void Clear();

  // An entry by name (not the terminator), or null.
  TVrFile* EntryOf(std::string_view name) const;
  // Entries in file order, without the terminator.
  int EntryCount() const;
  TVrFile& Entry(int index) const { return static_cast<TVrFile&>(Item(index)); }

  // The plain contents of the entry, or of the loose file in this source's folder, rewound.
  void ReadEntry(TStream& target, const std::string& name);
  // The plain contents of one entry of this source.
  void ReadEntryData(const TVrFile& entry, TStream& target);
  // The stored bytes of an entry, for checks and repair tools.
  void ReadStoredBytes(const TVrFile& entry, TStream& target);
  std::unique_ptr<TRangeStream> OpenWindow(const std::string& name);

  TVrFile& AddMemoryEntry(const std::string& name);
  // An entry with no bytes of its own: the writer takes it from the loose file of that name.
  TVrFile& AddFileEntry(const std::string& name);
  void DeleteEntry(const std::string& name);

  // Writes a version-102 archive of every entry to the output stream; false when cancelled.
  bool WriteArchive(TStream& output);

  const std::string& FileName() const { return fileName_; }
  // The host folder of loose files belonging to the source, with a trailing "/"; may be empty.
  const std::string& Folder() const { return folder_; }
  void SetFolder(const std::string& folder);
  bool HasStream() const { return stream_ != nullptr; }
  TTpBigStream* Stream() const { return stream_.get(); }
  int32_t Version() const { return version_; }
  bool IsResource() const { return !resourceName_.empty(); }

  void SetProgress(ProgressFunction progress) { progress_ = std::move(progress); }
  void SetStoreError(StoreErrorFunction onError) { storeError_ = std::move(onError); }

protected:
  std::unique_ptr<THashCollectionItem> CreateItem() override;

private:
  struct TStored {
    uint8_t storage;
    int32_t timeStamp;
    uint32_t checksum;
  };
  TStored StoreEntry(TVrFile& entry, TStream& output);
  void OpenArchiveStream(const std::string& path);

  std::string fileName_;
  std::string folder_;
  std::unique_ptr<TTpBigStream> stream_;
  std::string resourceName_, resourceType_;
  int32_t version_ = 0;
  ProgressFunction progress_;
  StoreErrorFunction storeError_;
  // Compressed bytes on their way to zlib; kept between reads up to a modest size.
  static constexpr size_t kScratchKept = 8 << 20;
  std::vector<uint8_t> scratch_;
};

// The whole disk file into target (a memory target is replaced), rewound.
void ReadDiskFile(const std::string& path, TStream& target);

// True when the file at path may be compressed by the archive writer.
bool IsCompressibleFile(const std::string& path, std::string_view dataName, int64_t size);

}  // namespace kivo
