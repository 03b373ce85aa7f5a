// TFolderDiskList: disc look-up and stream form.
#include "support/folder_disk_list.h"

#include "support/binary_io.h"
#include "support/path_parser.h"
#include "support/sjis.h"

namespace kivo {

int32_t TFolderDiskList::DiscOf(std::string_view path) const {
  std::string p = SjisUpperCase(path);
  while (!p.empty()) {
    std::string wanted = IncludeTrailingBackslash(p);
    for (const TEntry& e : entries_) {
      if (SjisSameText(IncludeTrailingBackslash(e.folder), wanted)) return e.disc;
    }
    if (EndsWithBackslash(p)) {
      p.pop_back();
    } else {
      size_t cut = LastBackslash(p);
      p.erase(cut == std::string::npos ? 0 : cut);
    }
  }
  return 0;
}

void TFolderDiskList::SaveToStream(TStream& stream) const {
  TBinaryWriter w(stream);
  w.Int32(Count());
  for (const TEntry& e : entries_) {
    w.String(e.folder);
    w.Int32(e.disc);
  }
}

void TFolderDiskList::LoadFromStream(TStream& stream) {
  Clear();
  TBinaryReader r(stream);
  int32_t count = r.Count(8);
  entries_.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    std::string folder = r.String();
    entries_.push_back({std::move(folder), r.Int32()});
  }
}

}  // namespace kivo
