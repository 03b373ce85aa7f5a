// POSIX file handles, file facts, DOS time stamps and the cached name resolver.
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/cp932.h"
#include "platform/dir_listing.h"
#include "platform/kivo_error.h"

namespace kivo {
namespace {

[[noreturn]] void HostError(const char* what, const std::string& path) {
  throw EKivoError(std::string(what) + " " + PathForMessage(path) + ": " + std::strerror(errno));
}

bool IsAsciiText(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::unique_ptr<TFileHandle> TFileHandle::Open(const std::string& path, FileAccess access) {
  int flags = O_CLOEXEC;
  switch (access) {
    case FileAccess::Read: flags |= O_RDONLY; break;
    case FileAccess::ReadWrite: flags |= O_RDWR; break;
    case FileAccess::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<TFileHandle>(new TFileHandle(fd, path));
}

TFileHandle::~TFileHandle() { ::close(fd_); }

int64_t TFileHandle::ReadAt(int64_t offset, void* buffer, int64_t count) {
  auto* p = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_, p + done, static_cast<size_t>(count - done), offset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) HostError("cannot read", path_);
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t TFileHandle::WriteAt(int64_t offset, const void* buffer, int64_t count) {
  const auto* p = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::pwrite(fd_, p + done, static_cast<size_t>(count - done), offset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) HostError("cannot write", path_);
    done += n;
  }
  return done;
}

int64_t TFileHandle::Size() {
  struct stat st;
  if (::fstat(fd_, &st) != 0) HostError("cannot query", path_);
  return static_cast<int64_t>(st.st_size);
}

void TFileHandle::Flush() {
  if (::fsync(fd_) != 0 && errno != EINVAL) HostError("cannot flush", path_);
}

void TFileHandle::Truncate(int64_t size) {
  if (::ftruncate(fd_, size) != 0) HostError("cannot resize", path_);
}

TFileFacts FileFactsOf(const std::string& path) {
  TFileFacts facts;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return facts;
  facts.exists = true;
  facts.isFolder = S_ISDIR(st.st_mode);
  facts.size = static_cast<int64_t>(st.st_size);
  facts.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
  facts.modifiedNs = facts.modifiedSeconds * 1000000000 + st.st_mtim.tv_nsec;
  return facts;
}

bool RenameFile(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

int32_t DosDateTimeOf(int64_t unixSeconds) {
  time_t t = static_cast<time_t>(unixSeconds);
  struct tm local;
  if (!::localtime_r(&t, &local) || local.tm_year < 80 || local.tm_year > 207) return 0;
  uint32_t date = (static_cast<uint32_t>(local.tm_year - 80) << 9) | (static_cast<uint32_t>(local.tm_mon + 1) << 5) |
                  static_cast<uint32_t>(local.tm_mday);
  uint32_t time = (static_cast<uint32_t>(local.tm_hour) << 11) | (static_cast<uint32_t>(local.tm_min) << 5) |
                  static_cast<uint32_t>(local.tm_sec / 2);
  return static_cast<int32_t>((date << 16) | time);
}

std::string DosDateTimeText(int32_t dosDateTime) {
  if (dosDateTime == 0) return "-";
  uint32_t v = static_cast<uint32_t>(dosDateTime);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (v >> 25), (v >> 21) & 15, (v >> 16) & 31,
                (v >> 11) & 31, (v >> 5) & 63, (v & 31) * 2);
  return text;
}

std::string PathForMessage(const std::string& path) {
  return IsUtf8RepresentableInCp932(path) ? Utf8ToCp932(path) : path;
}

std::string TemporarySibling(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

TNameResolver::TNameResolver(FoldFunction fold) : fold_(std::move(fold)) {}

void TNameResolver::Forget() {
  std::lock_guard lock(mutex_);
  listings_.clear();
}

std::optional<std::string> TNameResolver::Resolve(const std::string& folder,
                                                  const std::vector<std::string>& components, bool allowFolder) {
  if (components.empty()) return std::nullopt;
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/') prefix.push_back('/');
  std::string joined;
  for (const std::string& c : components) {
    if (c.find('/') != std::string::npos || c.find('\0') != std::string::npos) return std::nullopt;
    if (!joined.empty()) joined.push_back('/');
    joined += c;
  }
  auto fits = [&](const std::string& path) {
    TFileFacts facts = FileFactsOf(path);
    return facts.exists && (allowFolder || !facts.isFolder);
  };
  // The common case first: the name is spelt on disk exactly as the game asks for it.
  if (fits(prefix + joined)) return prefix + joined;
  if (!IsAsciiText(joined)) {
    std::string utf8 = prefix + Cp932ToUtf8(joined);
    if (fits(utf8)) return utf8;
  }

  std::lock_guard lock(mutex_);
  std::string current = prefix;
  for (size_t i = 0; i < components.size(); ++i) {
    const std::string& component = components[i];
    bool last = i + 1 == components.size();
    if (component.empty() || component == "." || component == "..") {
      if (last) return std::nullopt;
      if (component == "..") current += "../";
      continue;
    }
    std::optional<std::string> found = Component(current, component, !last);
    if (!found) return std::nullopt;
    current += *found;
    if (!last) current.push_back('/');
  }
  return fits(current) ? std::optional<std::string>(current) : std::nullopt;
}

std::optional<std::string> TNameResolver::Component(const std::string& folder, const std::string& componentCp932,
                                                    bool wantFolder) {
  auto kindFits = [&](const std::string& diskName) {
    TFileFacts facts = FileFactsOf(folder + diskName);
    return facts.exists && (!wantFolder || facts.isFolder);
  };
  if (kindFits(componentCp932)) return componentCp932;
  if (!IsAsciiText(componentCp932)) {
    std::string utf8 = Cp932ToUtf8(componentCp932);
    if (kindFits(utf8)) return utf8;
  }
  TFileFacts facts = FileFactsOf(folder.empty() ? "." : folder);
  if (!facts.isFolder) return std::nullopt;
  const TListing& listing = Listing(folder, facts.modifiedNs);
  auto it = listing.byKey.find(fold_(componentCp932));
  if (it == listing.byKey.end()) return std::nullopt;
  return it->second;
}

const TNameResolver::TListing& TNameResolver::Listing(const std::string& folder, int64_t modifiedNs) {
  auto it = listings_.find(folder);
  if (it != listings_.end() && it->second.modifiedNs == modifiedNs) return it->second;
  TListing listing;
  listing.modifiedNs = modifiedNs;
  std::vector<TDirEntry> items;
  ListDirectory(folder, items);
  for (TDirEntry& item : items) {
    // A name on disk may be UTF-8 (copied by a modern tool) or raw CP932 bytes (an old archive
    // unpacked as is); both spellings lead to it.
    if (!IsAsciiText(item.name) && IsUtf8RepresentableInCp932(item.name))
      listing.byKey.emplace(fold_(Utf8ToCp932(item.name)), item.name);
    listing.byKey.emplace(fold_(item.name), item.name);
  }
  if (listings_.size() > 4096) listings_.clear();  // bound the cache; listings are cheap to rebuild
  return listings_[folder] = std::move(listing);
}

}  // namespace kivo
