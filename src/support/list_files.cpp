// ListFiles over the platform's folder listing.
#include "support/list_files.h"

#include "platform/cp932.h"
#include "platform/dir_listing.h"
#include "support/sjis.h"

namespace kivo {

namespace {

std::string EngineName(const std::string& diskName) {
  return IsUtf8RepresentableInCp932(diskName) ? Utf8ToCp932(diskName) : diskName;
}

// The extension of a CP932 name with its dot, "" without one.
std::string ExtensionOf(const std::string& name) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); i += SjisCharLength(name, i)) {
    if (name[i] == '.') dot = i;
  }
  return dot == std::string::npos ? "" : name.substr(dot);
}

int32_t AttributesOf(const TDirEntry& e) {
  int32_t a = e.isFolder ? FA_DIRECTORY : FA_ARCHIVE;
  if (e.isReadOnly) a |= FA_READONLY;
  if (!e.name.empty() && e.name[0] == '.') a |= FA_HIDDEN;
  return a;
}

struct TListing {
  int32_t mask;
  bool includePlain;
  std::string extension;  // with its dot, or ""
  bool markFolders;
  bool recursive;
  std::vector<std::string>& list;

  void Folder(const std::string& hostFolder, const std::string& prefix, int depth) {
    std::vector<TDirEntry> entries;
    if (!ListDirectory(hostFolder, entries)) return;
    for (const TDirEntry& e : entries) {
      std::string name = prefix + EngineName(e.name);
      int32_t attributes = AttributesOf(e);
      if (e.isFolder) {
        if (mask & FA_DIRECTORY) list.push_back(markFolders || depth > 0 ? name + "\\" : name);
        // Links to folders are listed but not entered: they can loop.
        if (recursive && !e.isSymlink) Folder(hostFolder + e.name + "/", name + "\\", depth + 1);
        continue;
      }
      bool wanted = (attributes & mask) != 0 || ((attributes & ~FA_ARCHIVE) == 0 && includePlain);
      if (wanted && (extension.empty() || SjisSameText(ExtensionOf(name), extension))) list.push_back(name);
    }
  }
};

}  // namespace

void ListFiles(const std::string& folder, int32_t attributeMask, bool includePlain, const std::string& extension,
               bool markFolders, bool recursive, std::vector<std::string>& list, bool clearFirst) {
  if (clearFirst) list.clear();
  std::string hostFolder = folder;
  if (!hostFolder.empty() && hostFolder.back() != '/') hostFolder += '/';
  std::string ext = extension.empty() || extension[0] == '.' ? extension : "." + extension;
  TListing{attributeMask, includePlain, ext, markFolders, recursive, list}.Folder(hostFolder, "", 0);
}

}  // namespace kivo
