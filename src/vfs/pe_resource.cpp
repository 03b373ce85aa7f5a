// A bounds-checked walk of a PE file's resource directory (type, name, language levels).
#include "vfs/pe_resource.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kivo {
namespace {

class TPeImage {
public:
  explicit TPeImage(TFileHandle& file) : file_(file), size_(file.Size()) {}

  bool Get(int64_t offset, void* out, int64_t count) {
    return offset >= 0 && count >= 0 && offset <= size_ - count && file_.ReadAt(offset, out, count) == count;
  }
  std::optional<uint32_t> U32(int64_t offset) {
    uint8_t b[4];
    if (!Get(offset, b, 4)) return std::nullopt;
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  }
  std::optional<uint16_t> U16(int64_t offset) {
    uint8_t b[2];
    if (!Get(offset, b, 2)) return std::nullopt;
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  int64_t FileSize() const { return size_; }

private:
  TFileHandle& file_;
  int64_t size_;
};

struct TSection {
  uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

std::optional<int64_t> RvaToOffset(const std::vector<TSection>& sections, uint32_t rva) {
  for (const TSection& s : sections) {
    uint32_t extent = std::max(s.virtualSize, s.rawSize);
    if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
      uint32_t inSection = rva - s.virtualAddress;
      if (inSection >= s.rawSize) return std::nullopt;  // not backed by file data
      return int64_t{s.rawOffset} + inSection;
    }
  }
  return std::nullopt;
}

std::string AsciiUpper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

// Finds the entry of one directory level matching key ("#n" for an id; empty takes the first).
// Returns the entry's OffsetToData field.
std::optional<uint32_t> FindEntry(TPeImage& pe, int64_t rootOffset, uint32_t directory, const std::string& key) {
  int64_t dir = rootOffset + directory;
  auto named = pe.U16(dir + 12);
  auto ids = pe.U16(dir + 14);
  if (!named || !ids) return std::nullopt;
  int count = *named + *ids;
  bool wantId = !key.empty() && key[0] == '#';
  uint32_t id = 0;
  if (wantId) {
    for (size_t i = 1; i < key.size(); ++i) {
      if (key[i] < '0' || key[i] > '9' || id > 65535) return std::nullopt;
      id = id * 10 + static_cast<uint32_t>(key[i] - '0');
    }
  }
  std::string wanted = AsciiUpper(key);
  for (int i = 0; i < count; ++i) {
    int64_t entry = dir + 16 + int64_t{i} * 8;
    auto nameField = pe.U32(entry);
    auto dataField = pe.U32(entry + 4);
    if (!nameField || !dataField) return std::nullopt;
    if (key.empty()) return *dataField;
    bool isNamed = (*nameField & 0x80000000u) != 0;
    if (wantId) {
      if (!isNamed && (*nameField & 0xFFFF) == id) return *dataField;
      continue;
    }
    if (!isNamed) continue;
    int64_t text = rootOffset + (*nameField & 0x7FFFFFFFu);
    auto length = pe.U16(text);
    if (!length || *length != wanted.size()) continue;
    std::vector<uint8_t> utf16(size_t{*length} * 2);
    if (!pe.Get(text + 2, utf16.data(), static_cast<int64_t>(utf16.size()))) continue;
    bool same = true;
    for (size_t k = 0; k < wanted.size() && same; ++k) {
      uint16_t c = static_cast<uint16_t>(utf16[2 * k] | utf16[2 * k + 1] << 8);
      if (c >= 'a' && c <= 'z') c = static_cast<uint16_t>(c - 32);
      same = c == static_cast<uint8_t>(wanted[k]);
    }
    if (same) return *dataField;
  }
  return std::nullopt;
}

}  // namespace

std::optional<TPeResourceSpan> FindPeResource(const std::string& path, const std::string& name,
                                              const std::string& type) {
  auto file = TFileHandle::Open(path, FileAccess::Read);
  if (!file) return std::nullopt;
  TPeImage pe(*file);
  auto mz = pe.U16(0);
  auto peOffset = pe.U32(0x3C);
  if (!mz || *mz != 0x5A4D || !peOffset) return std::nullopt;
  int64_t coff = int64_t{*peOffset};
  auto signature = pe.U32(coff);
  if (!signature || *signature != 0x00004550) return std::nullopt;
  auto sectionCount = pe.U16(coff + 6);
  auto optionalSize = pe.U16(coff + 20);
  if (!sectionCount || !optionalSize) return std::nullopt;
  int64_t optional = coff + 24;
  auto magic = pe.U16(optional);
  if (!magic || (*magic != 0x10B && *magic != 0x20B)) return std::nullopt;
  int64_t directories = optional + (*magic == 0x10B ? 96 : 112);
  auto directoryCount = pe.U32(directories - 4);
  if (!directoryCount || *directoryCount < 3) return std::nullopt;
  auto resourceRva = pe.U32(directories + 2 * 8);
  if (!resourceRva || *resourceRva == 0) return std::nullopt;

  std::vector<TSection> sections;
  int64_t table = optional + *optionalSize;
  for (int i = 0; i < *sectionCount; ++i) {
    int64_t s = table + int64_t{i} * 40;
    auto vsize = pe.U32(s + 8), va = pe.U32(s + 12), rawSize = pe.U32(s + 16), rawOffset = pe.U32(s + 20);
    if (!vsize || !va || !rawSize || !rawOffset) return std::nullopt;
    sections.push_back({*va, *vsize, *rawSize, *rawOffset});
  }
  auto root = RvaToOffset(sections, *resourceRva);
  if (!root) return std::nullopt;

  // Type, then name, then language: the first two levels must be sub-directories, the last a leaf.
  auto typeEntry = FindEntry(pe, *root, 0, type);
  if (!typeEntry || !(*typeEntry & 0x80000000u)) return std::nullopt;
  auto nameEntry = FindEntry(pe, *root, *typeEntry & 0x7FFFFFFFu, name);
  if (!nameEntry || !(*nameEntry & 0x80000000u)) return std::nullopt;
  auto languageEntry = FindEntry(pe, *root, *nameEntry & 0x7FFFFFFFu, "");
  if (!languageEntry || (*languageEntry & 0x80000000u)) return std::nullopt;
  int64_t leaf = *root + *languageEntry;
  auto dataRva = pe.U32(leaf), dataSize = pe.U32(leaf + 4);
  if (!dataRva || !dataSize) return std::nullopt;
  auto dataOffset = RvaToOffset(sections, *dataRva);
  if (!dataOffset || *dataOffset + int64_t{*dataSize} > pe.FileSize()) return std::nullopt;
  return TPeResourceSpan{*dataOffset, int64_t{*dataSize}};
}

TTpBigResourceStream::TTpBigResourceStream(const std::string& modulePath, const std::string& resourceName,
                                           const std::string& resourceType)
    : modulePath_(modulePath), resourceName_(resourceName), resourceType_(resourceType) {
  if (auto span = FindPeResource(modulePath, resourceName, resourceType)) {
    file_ = TFileHandle::Open(modulePath, FileAccess::Read);
    if (file_) span_ = *span;
  }
}

int64_t TTpBigResourceStream::Read(void* buffer, int64_t count) {
  int64_t n = std::min(count, span_.size - position_);
  if (n <= 0 || !file_) return 0;
  int64_t got = file_->ReadAt(span_.offset + position_, buffer, n);
  position_ += got;
  return got;
}

int64_t TTpBigResourceStream::Seek(int64_t offset, SeekOrigin origin) {
  position_ = SeekTarget(position_, offset, origin);
  return position_;
}

}  // namespace kivo
