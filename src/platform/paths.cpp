// Host folders, whole-file helpers, optical mounts and the user's language.
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kivo {
namespace {

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path.push_back('/');
  return path;
}

std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  const char* value = std::getenv(variable);
  std::string base;
  if (value && *value) {
    base = value;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : "/tmp") + "/" + fallbackBelowHome;
  }
  std::string folder = WithSlash(base) + "kivoplay/";
  MakeFolders(folder);
  return folder;
}

}  // namespace

std::string ProgramFile() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<size_t>(n));
}

std::string ProgramFolder() {
  std::string file = ProgramFile();
  size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string("./") : file.substr(0, slash + 1);
}

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return WithSlash(tmp && *tmp ? tmp : "/tmp");
}

std::string ConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
std::string DataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string CurrentFolder() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer) ? WithSlash(buffer) : std::string("./");
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  contents = buffer.str();
  return !in.bad();
}

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
  std::string temp = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      ::unlink(temp.c_str());
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  bool ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool MakeFolders(const std::string& path) {
  std::string partial;
  for (size_t i = 0; i < path.size(); ++i) {
    partial.push_back(path[i]);
    if ((path[i] == '/' && i > 0) || i + 1 == path.size()) {
      if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return FolderExists(path);
}

std::vector<std::string> OpticalDriveRoots() {
  std::vector<std::string> roots;
  std::ifstream mounts("/proc/mounts");
  std::string device, mountPoint, type, rest;
  while (mounts >> device >> mountPoint >> type && std::getline(mounts, rest)) {
    if (type != "iso9660" && type != "udf") continue;
    // /proc/mounts escapes blanks as octal: \040 is a space.
    std::string decoded;
    for (size_t i = 0; i < mountPoint.size(); ++i) {
      if (mountPoint[i] == '\\' && i + 3 < mountPoint.size() + 1 && i + 3 <= mountPoint.size()) {
        decoded.push_back(static_cast<char>(std::strtol(mountPoint.substr(i + 1, 3).c_str(), nullptr, 8)));
        i += 3;
      } else {
        decoded.push_back(mountPoint[i]);
      }
    }
    roots.push_back(WithSlash(decoded));
  }
  return roots;
}

bool IsOnOpticalDrive(const std::string& path) {
  for (const std::string& root : OpticalDriveRoots())
    if (path.compare(0, root.size(), root) == 0) return true;
  return false;
}

bool IsJapaneseDefaultLanguage() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return std::string(value).rfind("ja", 0) == 0;
  }
  return false;
}

}  // namespace kivo

#include <chrono>
#include <ctime>

namespace kivo {

TLocalTime LocalTimeNow() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  int64_t utc = duration_cast<milliseconds>(now.time_since_epoch()).count();
  return LocalTimeFields(utc + static_cast<int64_t>(tm.tm_gmtoff) * 1000);
}

TLocalTime LocalTimeFields(int64_t localMilliseconds) {
  using namespace std::chrono;
  const sys_time<milliseconds> time{milliseconds(localMilliseconds)};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss timeOfDay{time - day};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(timeOfDay.hours().count()),
          static_cast<int>(timeOfDay.minutes().count()),
          static_cast<int>(timeOfDay.seconds().count()),
          static_cast<int>(timeOfDay.subseconds().count()),
          static_cast<int>(weekday(day).c_encoding())};
}

bool FileEndsWith(const std::string& path, const std::string& tail) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  std::streamoff size = in.tellg();
  if (size < static_cast<std::streamoff>(tail.size())) return false;
  in.seekg(size - static_cast<std::streamoff>(tail.size()));
  std::string last(tail.size(), '\0');
  in.read(last.data(), static_cast<std::streamsize>(last.size()));
  return in && last == tail;
}

}  // namespace kivo
