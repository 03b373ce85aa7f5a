// An flock'ed file under $XDG_RUNTIME_DIR (else /tmp) stands for the named mutex.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace kivo {
namespace {

std::string LockPath(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string dir = runtime && *runtime ? runtime : "/tmp";
  std::string safe;
  for (char c : name) safe.push_back(c == '/' ? '-' : c);
  return dir + "/kivoplay-" + safe + ".lock";
}

}  // namespace

TInstanceLock::TInstanceLock(const std::string& name) {
  int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return;
  }
  fd_ = fd;
}

TInstanceLock::~TInstanceLock() { Release(); }

void TInstanceLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace kivo
