// Host file access for the data layer: 64-bit file handles, file facts and the case-insensitive
// resolver of "\"-separated data names.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

enum class FileAccess {
  Read,       // existing file, read only
  ReadWrite,  // existing file, read and write
  Create,     // created or truncated, read and write
};

// One open host file. Reads and writes name their offset, so one handle may serve several
// positions (the volume streams) and a handle never carries a hidden position.
class TFileHandle {
public:
  // Null when the file cannot be opened with that access.
  static std::unique_ptr<TFileHandle> Open(const std::string& path, FileAccess access);
  ~TFileHandle();
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

  // Both return the bytes moved (fewer at the end of the file); a host error raises EKivoError.
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count);
  int64_t WriteAt(int64_t offset, const void* buffer, int64_t count);
  int64_t Size();
  void Flush();
  void Truncate(int64_t size);
  const std::string& Path() const { return path_; }

private:
  TFileHandle(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  std::string path_;
};

struct TFileFacts {
  bool exists = false;
  bool isFolder = false;
  int64_t size = 0;
  int64_t modifiedNs = 0;  // nanoseconds since the epoch
  int64_t modifiedSeconds = 0;
};

TFileFacts FileFactsOf(const std::string& path);

bool RenameFile(const std::string& from, const std::string& to);

// The local time of a host time stamp as a DOS date-time (0 for times DOS cannot express).
int32_t DosDateTimeOf(int64_t unixSeconds);
// "YYYY-MM-DD hh:mm:ss" of a DOS date-time; "-" for 0.
std::string DosDateTimeText(int32_t dosDateTime);

// A host path as it is put into an error message (which is CP932 text).
std::string PathForMessage(const std::string& path);

// A unique name for a file that is written and then renamed over its final name.
std::string TemporarySibling(const std::string& path);

// Finds data names ("\"-separated, CP932) below a host folder. Each component is matched first as
// it stands (as CP932 bytes, then as UTF-8), then case-insensitively against a cached listing of
// its folder, so games copied from Windows play without renaming. A listing is re-read when its
// folder's modification time changes.
class TNameResolver {
public:
  // Maps a CP932 name to its case-insensitive key (the data layer passes its Shift-JIS folding).
  using FoldFunction = std::function<std::string(std::string_view)>;
  explicit TNameResolver(FoldFunction fold);

  // The host path of folder + the name made of these components (CP932, split by the caller, who
  // knows where a double-byte character hides a "\") when such a file (or folder, if allowed)
  // exists. "." and ".." components keep their meaning.
  std::optional<std::string> Resolve(const std::string& folder, const std::vector<std::string>& components,
                                     bool allowFolder = false);
  void Forget();

private:
  struct TListing {
    int64_t modifiedNs = 0;
    std::unordered_map<std::string, std::string> byKey;  // folded CP932 key -> name on disk
  };
  std::optional<std::string> Component(const std::string& folder, const std::string& componentCp932,
                                       bool wantFolder);
  const TListing& Listing(const std::string& folder, int64_t modifiedNs);

  FoldFunction fold_;
  std::mutex mutex_;
  std::unordered_map<std::string, TListing> listings_;
};

}  // namespace kivo
