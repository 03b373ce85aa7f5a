// ListFiles: collecting the names in a folder by attribute and extension.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

// The attribute bits a listed entry may carry (the values of the authoring system's file
// attributes). On disk: read-only when nobody may write the file, hidden for names starting
// with ".", a folder, or the archive bit that every plain file carries once written.
enum : int32_t {
  FA_READONLY = 0x01,
  FA_HIDDEN = 0x02,
  FA_SYSFILE = 0x04,
  FA_DIRECTORY = 0x10,
  FA_ARCHIVE = 0x20,
  FA_ANYFILE = 0x3F,
};

// Lists the entries of folder (a host folder; "." and ".." skipped) into list, sorted by name
// within each folder. A folder is listed when attributeMask has FA_DIRECTORY; a file when its
// attributes share a bit with the mask, or it is plain (nothing but the archive bit) and
// includePlain is set, and, when extension is given, its extension matches it ignoring case
// (".bmp" or "bmp"). markFolders appends "\" to folder names. With recursive the sub-folders are
// listed the same way (always marked), their entries named by their path below folder
// ("sub\name"). Names on disk in UTF-8 are given as CP932 where they convert.
void ListFiles(const std::string& folder, int32_t attributeMask, bool includePlain, const std::string& extension,
               bool markFolders, bool recursive, std::vector<std::string>& list, bool clearFirst);

}  // namespace kivo
