// The one-instance-per-data-folder lock (a named mutex on Windows).
#pragma once

#include <memory>
#include <string>

namespace kivo {

class TInstanceLock {
public:
  // Takes the lock named `name`; Acquired() is false when another process holds it.
  explicit TInstanceLock(const std::string& name);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  bool Acquired() const { return fd_ >= 0; }
  void Release();

private:
  int fd_ = -1;
};

}  // namespace kivo
