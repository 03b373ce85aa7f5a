// Desktop wallpaper through gsettings.
#include "platform/wallpaper.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/paths.h"

extern char** environ;

namespace kivo {

namespace {

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  std::string list = path;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string folder = list.substr(start, end - start);
    if (!folder.empty()) {
      std::string candidate = folder + "/" + program;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return "";
}

// Runs the program with its output discarded; true when it exits with status 0.
bool Run(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string FileUri(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 15];
    }
  }
  return uri;
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return CurrentFolder() + path;
}

// Whether the session's desktop takes its wallpaper from the GNOME background settings; on other
// desktops "gsettings set" succeeds without changing anything.
bool DesktopUsesGnomeBackground() {
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  if (desktops == nullptr) return false;
  std::string list = desktops;
  for (size_t from = 0; from <= list.size();) {
    size_t colon = std::min(list.find(':', from), list.size());
    std::string name = list.substr(from, colon - from);
    if (name == "GNOME" || name == "Unity" || name == "Budgie" || name == "Pantheon") return true;
    from = colon + 1;
  }
  return false;
}

}  // namespace

std::string WallpaperBitmapPath() { return DataFolder() + "kivowall.bmp"; }

bool SetDesktopWallpaper(const std::string& path, int style) {
  if (path.empty() || !FileExists(path) || !DesktopUsesGnomeBackground()) return false;
  std::string gsettings = FindOnPath("gsettings");
  if (gsettings.empty()) return false;
  const std::string schema = "org.gnome.desktop.background";
  std::string uri = FileUri(AbsolutePath(path));
  if (!Run(gsettings, {"set", schema, "picture-uri", uri})) return false;
  // Newer desktops show a separate picture in dark mode; older ones lack the key, which is fine.
  Run(gsettings, {"set", schema, "picture-uri-dark", uri});
  const char* options = style == 0 ? "centered" : style == 1 ? "wallpaper" : "stretched";
  return Run(gsettings, {"set", schema, "picture-options", options});
}

bool SetDesktopWallpaperBitmap(const std::string& bitmap, int style) {
  std::string path = WallpaperBitmapPath();
  return WriteFileAtomically(path, bitmap) && SetDesktopWallpaper(path, style);
}

}  // namespace kivo
