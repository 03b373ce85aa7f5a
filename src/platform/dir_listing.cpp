// Folder listing over opendir/readdir.
#include "platform/dir_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

namespace kivo {

bool ListDirectory(const std::string& folder, std::vector<TDirEntry>& entries) {
  entries.clear();
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  int fd = dirfd(dir);
  while (dirent* d = readdir(dir)) {
    std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    TDirEntry e;
    e.name = name;
    struct stat link {};
    if (fstatat(fd, d->d_name, &link, AT_SYMLINK_NOFOLLOW) == 0) e.isSymlink = S_ISLNK(link.st_mode);
    struct stat st {};
    if (fstatat(fd, d->d_name, &st, 0) == 0) {
      e.isFolder = S_ISDIR(st.st_mode);
      e.isReadOnly = (st.st_mode & 0222) == 0;
      e.size = e.isFolder ? 0 : static_cast<int64_t>(st.st_size);
      e.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    } else {
      // A dangling link: still an entry, with what the link itself says.
      e.isFolder = false;
      e.modifiedSeconds = static_cast<int64_t>(link.st_mtim.tv_sec);
    }
    entries.push_back(std::move(e));
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const TDirEntry& a, const TDirEntry& b) { return a.name < b.name; });
  return true;
}

}  // namespace kivo
