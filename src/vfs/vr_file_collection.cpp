// Reading archive directories of every version, reading entries, windows, and the version-102 writer.
#include "vfs/vr_file_collection.h"

#include <algorithm>
#include <cstring>

#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/kivo_error.h"
#include "platform/message_box.h"
#include "support/binary_io.h"
#include "support/sjis.h"
#include "support/tp_random.h"
#include "vfs/big_file_stream.h"
#include "vfs/disk_names.h"
#include "vfs/file_stream.h"
#include "vfs/pe_resource.h"
#include "vfs/vr_messages.h"
#include "vfs/zlib_codec.h"

namespace kivo {
namespace {

constexpr int64_t kChunk = 1 << 20;

[[noreturn]] void Damaged(const std::string& what) { throw EKivoError("damaged archive: " + what); }

TMemoryStream* AsMemory(TStream& stream) {
  if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) return memory;
  if (auto* big = dynamic_cast<TTpBigMemoryStream*>(&stream)) return &big->Memory();
  return nullptr;
}

int32_t LittleInt32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

int64_t LittleInt64(const uint8_t* p) {
  return static_cast<int64_t>(static_cast<uint32_t>(LittleInt32(p)) |
                              uint64_t{static_cast<uint32_t>(LittleInt32(p + 4))} << 32);
}

std::string HostFolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string HostExtensionLower(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  for (char& c : ext) c = AsciiLower(c);
  return ext;
}

// The start of an archive appended to another file, from its 6-byte trailer (offset, "kv").
std::optional<int64_t> AppendedStart(TStream& file, bool requireMagic) {
  int64_t size = file.Size();
  if (size < 6) return std::nullopt;
  uint8_t trailer[6];
  file.Seek(size - 6, SeekOrigin::Begin);
  file.ReadBuffer(trailer, 6);
  if (trailer[4] != 'k' || trailer[5] != 'v') return std::nullopt;
  int64_t start = static_cast<uint32_t>(LittleInt32(trailer));
  if (start > size - 6) return std::nullopt;
  if (requireMagic) {
    uint8_t magic[2] = {0, 0};
    file.Seek(start, SeekOrigin::Begin);
    if (file.Read(magic, 2) != 2 || magic[0] != 'v' || magic[1] != 'f') return std::nullopt;
  }
  return start;
}

// Reads a directory through the buffered stream, checking each size against what is left of the
// data before anything is allocated for it. It counts what is left itself rather than asking the
// stream for its position on each of the many small reads of a large directory.
class TDirectoryCursor {
public:
  TDirectoryCursor(TStream& stream, int64_t left) : stream_(stream), left_(left) {}
  int64_t Left() const { return left_; }
  void Get(void* out, int64_t count) {
    if (count < 0 || count > left_ || stream_.Read(out, count) != count) throw EKivoError("directory beyond the data");
    left_ -= count;
  }
  void Unget(TStream& stream, int64_t count) {
    stream.Seek(-count, SeekOrigin::Current);
    left_ += count;
  }
  int32_t Int32() {
    uint8_t b[4];
    Get(b, 4);
    return LittleInt32(b);
  }
  std::vector<uint8_t> Block(int64_t elementSize, int64_t count) {
    if (count < 0 || count > left_ / elementSize) throw EKivoError("table beyond the data");
    std::vector<uint8_t> bytes(static_cast<size_t>(count * elementSize));
    Get(bytes.data(), count * elementSize);
    return bytes;
  }

private:
  TStream& stream_;
  int64_t left_;
};

}  // namespace

void ReadDiskFile(const std::string& path, TStream& target) {
  TFileStream file(path, FileAccess::Read);
  if (TMemoryStream* memory = AsMemory(target)) {
    std::vector<uint8_t> bytes = memory->TakeBytes();  // its room is reused, as for entries
    bytes.resize(static_cast<size_t>(file.Size()));
    file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    *memory = TMemoryStream(std::move(bytes));
    return;
  }
  int64_t size = file.Size();
  if (size > 0) target.CopyFrom(file, size);
  target.Seek(0, SeekOrigin::Begin);
}

TVrFileCollection::TVrFileCollection() = default;
TVrFileCollection::~TVrFileCollection() = default;

std::unique_ptr<THashCollectionItem> TVrFileCollection::CreateItem() { return std::make_unique<TVrFile>(); }

void TVrFileCollection::Clear() {
  THashCollection::Clear();
  stream_.reset();
  version_ = 0;
}

void TVrFileCollection::SetFolder(const std::string& folder) {
  folder_ = folder;
  if (!folder_.empty() && folder_.back() != '/') folder_.push_back('/');
}

TVrFile* TVrFileCollection::EntryOf(std::string_view name) const {
  auto* entry = static_cast<TVrFile*>(Find(name));
  if (entry && entry->Name() == kEofEntryName && entry->CachedIndex() == Count() - 1) return nullptr;
  return entry;
}

int TVrFileCollection::EntryCount() const {
  int n = Count();
  if (n > 0 && Entry(n - 1).Name() == kEofEntryName) --n;
  return n;
}

void TVrFileCollection::Open(const std::string& path) {
  Clear();
  fileName_ = path;
  resourceName_.clear();
  resourceType_.clear();
  folder_.clear();
  if (path.empty()) return;
  TFileFacts facts = FileFactsOf(path);
  if (!facts.exists || facts.isFolder) {
    SetFolder(path);
    return;
  }
  folder_ = HostFolderOf(path);
  try {
    OpenArchiveStream(path);
  } catch (const EKivoError& e) {
    Clear();
    throw EKivoError(PathForMessage(path) + ": " + e.what());
  }
}

void TVrFileCollection::OpenArchiveStream(const std::string& path) {
  auto file = std::make_unique<TTpBigFileStream>(path, BigFileMode::Read);
  std::string ext = HostExtensionLower(path);
  int64_t size = file->Size();
  if (ext == ".exe" || ext == ".scr") {
    auto start = AppendedStart(*file, false);
    if (!start) Damaged("no archive is appended to this program file");
    file->Seek(*start, SeekOrigin::Begin);
    ReadDirectory(*file, size - 6);
  } else {
    std::optional<std::string> companion;
    if (ext != ".ext") {
      std::string stem = path.substr(0, path.size() - ext.size());
      std::string bare = stem.substr(stem.rfind('/') == std::string::npos ? 0 : stem.rfind('/') + 1);
      if (FileFactsOf(stem + ".ext").exists)
        companion = stem + ".ext";
      else
        companion = FindDiskFile(HostFolderOf(path), Utf8ToCp932(bare + ".ext"));
    }
    if (companion) {
      TTpBigMemoryStream index;
      index.LoadFromFile(*companion);
      ReadDirectory(index, size);
    } else {
      uint8_t head[2] = {0, 0};
      file->Seek(0, SeekOrigin::Begin);
      bool startsAsArchive = file->Read(head, 2) == 2 && head[0] == 'v' && head[1] == 'f';
      // A program file of this system carries its archive behind it with the same trailer as
      // the Windows ".exe" form, though its name has no extension to tell.
      std::optional<int64_t> start = startsAsArchive ? std::nullopt : AppendedStart(*file, true);
      file->Seek(start.value_or(0), SeekOrigin::Begin);
      ReadDirectory(*file, start ? size - 6 : size);
    }
  }
  stream_ = std::move(file);
}

void TVrFileCollection::OpenResource(const std::string& modulePath, const std::string& resourceName,
                                     const std::string& resourceType) {
  Clear();
  fileName_ = modulePath;
  resourceName_ = resourceName;
  resourceType_ = resourceType;
  folder_ = HostFolderOf(modulePath);
  if (!FileFactsOf(modulePath).exists) return;
  auto stream = std::make_unique<TTpBigResourceStream>(modulePath, resourceName, resourceType);
  if (stream->Size() == 0) throw EKivoError(kMsgResourceNotFound);
  try {
    ReadDirectory(*stream);
  } catch (const EKivoError& e) {
    Clear();
    throw EKivoError(PathForMessage(modulePath) + ": " + e.what());
  }
  stream_ = std::move(stream);
}

void TVrFileCollection::ReadDirectory(TStream& stream, int64_t dataSize) {
  THashCollection::Clear();
  int64_t base = stream.Position();
  int64_t limit = dataSize >= 0 ? dataSize : stream.Size();
  std::vector<int64_t> offsets;
  std::vector<uint8_t> storage, plainFlags;
  std::vector<uint8_t> stamps, checksums;
  int32_t n;
  try {
    TTpBuffBigStream buffered(stream);
    TDirectoryCursor reader(buffered, stream.Size() - base);
    version_ = 0;
    if (reader.Left() >= 2) {
      uint8_t magic[2];
      reader.Get(magic, 2);
      if (magic[0] == 'v' && magic[1] == 'f')
        version_ = reader.Int32();
      else
        reader.Unget(buffered, 2);
    }
    if (version_ < 0 || version_ > kArchiveVersion)
      throw EKivoError("unsupported archive version " + std::to_string(version_));
    n = reader.Int32();
    if (n < 0 || n > reader.Left() / 4) throw EKivoError("entry count beyond the data");
    TTpRandom names(kArchiveSeed);
    std::string name;  // one buffer for every name of a large directory
    for (int32_t i = 0; i < n; ++i) {
      int32_t length = std::max(reader.Int32(), 0);
      if (length > reader.Left()) throw EKivoError("name beyond the data");
      name.resize(static_cast<size_t>(length));
      reader.Get(name.data(), length);
      if (version_ >= 100)
        for (char& c : name) c = static_cast<char>(c ^ (names.Next() & 0xFF));
      AddNamed(name);
    }
    AddNamed(kEofEntryName);

    int64_t offsetSize = version_ >= 101 ? 8 : 4;
    std::vector<uint8_t> table = reader.Block(offsetSize, int64_t{n} + 1);
    TTpRandom scramble(kArchiveSeed);
    offsets.resize(static_cast<size_t>(n) + 1);
    for (size_t i = 0; i < offsets.size(); ++i) {
      if (version_ >= 101) {
        offsets[i] = LittleInt64(&table[i * 8]) ^ static_cast<int64_t>(scramble.Next());
      } else {
        int32_t v = LittleInt32(&table[i * 4]);
        if (version_ == 100) v ^= scramble.Next();
        // 32-bit offsets of the old forms are unsigned positions below 4 GiB.
        offsets[i] = static_cast<uint32_t>(v);
      }
    }
    if (version_ >= 101) {
      storage = reader.Block(1, n);
      stamps = reader.Block(4, n);
      checksums = reader.Block(4, n);
      plainFlags = version_ >= 102 ? reader.Block(1, n) : std::vector<uint8_t>(static_cast<size_t>(n), 0);
    }
  } catch (const EKivoError& e) {
    THashCollection::Clear();
    throw EKivoError(std::string("damaged archive: ") + e.what());
  }

  int64_t room = limit - base;
  for (int32_t i = 0; i < n; ++i) {
    int64_t size = offsets[static_cast<size_t>(i) + 1] - offsets[static_cast<size_t>(i)];
    int64_t at = offsets[static_cast<size_t>(i)];
    if (at < 0 || size < 0 || at > room || size > room - at) {
      std::string name = Item(i).Name();
      THashCollection::Clear();
      Damaged("entry " + name + " lies beyond the end of the data");
    }
    TVrFile& entry = Entry(i);
    entry.offset = at + base;
    entry.size = size;
    if (version_ >= 101) {
      size_t k = static_cast<size_t>(i);
      entry.storage = storage[k];
      entry.timeStamp = LittleInt32(&stamps[k * 4]);
      entry.checksum = static_cast<uint32_t>(LittleInt32(&checksums[k * 4]));
      entry.checksumOfPlain = plainFlags[k];
    }
  }
  Entry(n).offset = offsets[static_cast<size_t>(n)];
}

void TVrFileCollection::ReadEntry(TStream& target, const std::string& name) {
  if (TVrFile* entry = EntryOf(name); entry && (entry->InMemory() || stream_)) {
    ReadEntryData(*entry, target);
    return;
  }
  if (auto loose = FindDiskFile(folder_, name)) {
    ReadDiskFile(*loose, target);
    return;
  }
  throw EKivoError(MsgFileNotFound(name));
}

void TVrFileCollection::ReadEntryData(const TVrFile& entry, TStream& target) {
  TMemoryStream* memory = AsMemory(target);
  if (memory && (entry.InMemory() || !stream_ || entry.size == 0)) memory->Clear();
  if (entry.InMemory()) {
    target.WriteBuffer(entry.memory->Memory(), entry.memory->Size());
    target.Seek(0, SeekOrigin::Begin);
    return;
  }
  if (!stream_) throw EKivoError(MsgFileNotFound(entry.Name()));
  if (entry.size > 0 && memory) {
    // The target's old bytes serve as the new buffer: a reader that reuses its stream then pays
    // neither a fresh allocation nor the zero fill of one.
    std::vector<uint8_t> bytes = memory->TakeBytes();
    if (entry.IsPlain()) {
      bytes.resize(static_cast<size_t>(entry.size));
      stream_->Seek(entry.offset, SeekOrigin::Begin);
      stream_->ReadBuffer(bytes.data(), entry.size);
    } else {
      scratch_.resize(static_cast<size_t>(entry.size));
      stream_->Seek(entry.offset, SeekOrigin::Begin);
      stream_->ReadBuffer(scratch_.data(), entry.size);
      InflateInto(scratch_.data(), entry.size, bytes);
      if (scratch_.size() > kScratchKept) std::vector<uint8_t>().swap(scratch_);
    }
    *memory = TMemoryStream(std::move(bytes));
    return;
  }
  if (entry.size > 0) {
    // Straight through in pieces: an extracted movie need not fit in memory.
    if (entry.IsPlain()) {
      ReadStoredBytes(entry, target);
    } else {
      TInflater inflater([&](const uint8_t* data, size_t size) { target.WriteBuffer(data, static_cast<int64_t>(size)); });
      TInflaterStream sink(inflater);
      ReadStoredBytes(entry, sink);
      inflater.Finish();
    }
  }
  target.Seek(0, SeekOrigin::Begin);
}

void TVrFileCollection::ReadStoredBytes(const TVrFile& entry, TStream& target) {
  if (entry.InMemory()) {
    target.WriteBuffer(entry.memory->Memory(), entry.memory->Size());
    return;
  }
  if (!stream_) throw EKivoError(MsgFileNotFound(entry.Name()));
  stream_->Seek(entry.offset, SeekOrigin::Begin);
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(std::max<int64_t>(entry.size, 1), kChunk)));
  for (int64_t done = 0; done < entry.size;) {
    int64_t n = std::min(entry.size - done, kChunk);
    stream_->ReadBuffer(buffer.data(), n);
    target.WriteBuffer(buffer.data(), n);
    done += n;
  }
}

std::unique_ptr<TRangeStream> TVrFileCollection::OpenWindow(const std::string& name) {
  TVrFile* entry = EntryOf(name);
  if (!entry) return nullptr;
  // An empty entry gets an empty window; the player's own windows would have shown the rest of
  // the archive.
  if (entry->InMemory()) {
    std::vector<uint8_t> copy = entry->memory->Bytes();
    return TRangeStream::Exact(std::make_unique<TTpBigMemoryStream>(std::move(copy)), entry->memory->Size(), 0);
  }
  if (!stream_) return nullptr;
  if (IsResource())
    return TRangeStream::Exact(std::make_unique<TTpBigResourceStream>(fileName_, resourceName_, resourceType_),
                               entry->size, entry->offset);
  return TRangeStream::Exact(std::make_unique<TTpBigFileStream>(fileName_, BigFileMode::Read), entry->size,
                             entry->offset);
}

TVrFile& TVrFileCollection::AddMemoryEntry(const std::string& name) {
  auto& entry = static_cast<TVrFile&>(AddNamed(name));
  entry.memory = std::make_unique<TMemoryStream>();
  entry.storage = kStoredPlain;
  return entry;
}

TVrFile& TVrFileCollection::AddFileEntry(const std::string& name) { return static_cast<TVrFile&>(AddNamed(name)); }

void TVrFileCollection::DeleteEntry(const std::string& name) {
  int index = IndexOf(name);
  if (index >= 0) Delete(index);
}

bool IsCompressibleFile(const std::string& path, std::string_view dataName, int64_t size) {
  std::string ext = SjisUpperCase(ExtensionOf(dataName));
  if (ext == ".BRY") {
    // Layered images compress only in the form whose header says its layers are raw.
    uint8_t head[34];
    auto file = TFileHandle::Open(path, FileAccess::Read);
    if (!file || file->ReadAt(0, head, sizeof head) != sizeof head) return false;
    if (std::memcmp(head, "Bryl", 4) != 0) return false;
    int version = 0;
    for (int i = 4; i < 7; ++i) {
      if (head[i] < '0' || head[i] > '9') return false;
      version = version * 10 + (head[i] - '0');
    }
    return version >= 103 && head[33] == 1;
  }
  static const char* const kStoredAsIs[] = {".WAV", ".WMA", ".OGG", ".AVI", ".MPG",
                                            ".MPEG", ".M1V", ".WMV", ".ASF", ".DAT"};
  for (const char* media : kStoredAsIs)
    if (ext == media) return false;
  return size < kPlainStorageSize;
}

TVrFileCollection::TStored TVrFileCollection::StoreEntry(TVrFile& entry, TStream& output) {
  auto storeBytes = [&](const std::vector<uint8_t>& plain, bool forcePlain, bool allowPlainFallback) -> TStored {
    int64_t size = static_cast<int64_t>(plain.size());
    if (!forcePlain) {
      std::vector<uint8_t> packed = Deflate(plain.data(), size);
      if (!(allowPlainFallback && size * 9 / 10 < static_cast<int64_t>(packed.size()))) {
        output.WriteBuffer(packed.data(), static_cast<int64_t>(packed.size()));
        uint32_t crc = entry.checksumOfPlain ? Crc32(plain.data(), size)
                                             : Crc32(packed.data(), static_cast<int64_t>(packed.size()));
        return {kStoredCompressed, 0, crc};
      }
    }
    output.WriteBuffer(plain.data(), size);
    return {kStoredPlain, 0, Crc32(plain.data(), size)};
  };

  if (entry.InMemory()) {
    const std::vector<uint8_t>& bytes = entry.memory->Bytes();
    return storeBytes(bytes, static_cast<int64_t>(bytes.size()) >= kPlainStorageSize, false);
  }
  if (auto loose = FindDiskFile(folder_, entry.Name())) {
    TFileFacts facts = FileFactsOf(*loose);
    int32_t stamp = DosDateTimeOf(facts.modifiedSeconds);
    TFileStream file(*loose, FileAccess::Read);
    int64_t size = file.Size();
    TStored stored;
    if (IsCompressibleFile(*loose, entry.Name(), size)) {
      std::vector<uint8_t> bytes(static_cast<size_t>(size));
      file.ReadBuffer(bytes.data(), size);
      stored = storeBytes(bytes, false, true);
    } else {
      // Media are copied through as they are, so that they can be streamed in place later.
      std::vector<uint8_t> buffer(static_cast<size_t>(std::min(std::max<int64_t>(size, 1), kChunk)));
      uint32_t crc = 0;
      for (int64_t done = 0; done < size;) {
        int64_t n = std::min(size - done, kChunk);
        file.ReadBuffer(buffer.data(), n);
        output.WriteBuffer(buffer.data(), n);
        crc = Crc32(crc, buffer.data(), n);
        done += n;
      }
      stored = {kStoredPlain, 0, crc};
    }
    stored.timeStamp = stamp;
    return stored;
  }
  if (!stream_) throw EKivoError(MsgFileNotFound(entry.Name()));
  TMemoryStream plain;
  ReadEntryData(entry, plain);
  std::vector<uint8_t> bytes = plain.TakeBytes();
  return storeBytes(bytes, static_cast<int64_t>(bytes.size()) >= kPlainStorageSize, false);
}

bool TVrFileCollection::WriteArchive(TStream& output) {
  std::vector<TVrFile*> entries;
  for (int i = 0; i < Count(); ++i)
    if (Entry(i).Name() != kEofEntryName) entries.push_back(&Entry(i));
  auto n = static_cast<int32_t>(entries.size());
  // Offsets are written relative to where the archive starts, which is 0 for an archive in its
  // own file; an archive written behind other data is then read back correctly from its base.
  int64_t origin = output.Position();
  // The directory goes out in one write: a file stream would otherwise see two small writes per
  // name.
  TMemoryStream head;
  TBinaryWriter writer(head);
  writer.FixedText("vf");
  writer.Int32(kArchiveVersion);
  writer.Int32(n);
  TTpRandom names(kArchiveSeed);
  for (TVrFile* entry : entries) {
    std::string name = entry->Name();
    for (char& c : name) c = static_cast<char>(c ^ (names.Next() & 0xFF));
    writer.String(name);
  }
  int64_t table = origin + head.Size();
  head.SetSize(head.Size() + (int64_t{n} + 1) * 8 + int64_t{n} * 10);
  output.WriteBuffer(head.Memory(), head.Size());

  std::vector<int64_t> offsets(static_cast<size_t>(n) + 1);
  std::vector<TStored> stored(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    TVrFile& entry = *entries[static_cast<size_t>(i)];
    if (progress_ && !progress_({&entry, i, n, -1})) return false;
    offsets[static_cast<size_t>(i)] = output.Position() - origin;
    try {
      stored[static_cast<size_t>(i)] = StoreEntry(entry, output);
    } catch (const EKivoError& e) {
      if (storeError_)
        storeError_(entry.Name(), e.what());
      else
        ShowMessageBox("Error", kMsgErrorPrefix + entry.Name(), MessageButtons::Ok, MessageIcon::Error);
      throw;
    }
    if (progress_ && !progress_({&entry, i, n, output.Position() - origin - offsets[static_cast<size_t>(i)]}))
      return false;
  }
  int64_t end = output.Position();
  offsets[static_cast<size_t>(n)] = end - origin;

  TMemoryStream tableBytes;
  TBinaryWriter tableWriter(tableBytes);
  TTpRandom scramble(kArchiveSeed);
  for (int64_t offset : offsets) tableWriter.Int64(offset ^ static_cast<int64_t>(scramble.Next()));
  for (const TStored& s : stored) tableWriter.Byte(s.storage);
  for (const TStored& s : stored) tableWriter.Int32(s.timeStamp);
  for (const TStored& s : stored) tableWriter.UInt32(s.checksum);
  for (TVrFile* entry : entries) tableWriter.Byte(entry->checksumOfPlain);
  output.Seek(table, SeekOrigin::Begin);
  output.WriteBuffer(tableBytes.Memory(), tableBytes.Size());
  output.Seek(end, SeekOrigin::Begin);
  return true;
}

}  // namespace kivo
