// Lock entries, id allocation, deferred release and the deletion list.
#include "vfs/vr_lock_list.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "platform/cp932.h"
#include "platform/paths.h"
#include "support/sjis.h"
#include "vfs/disk_names.h"

namespace kivo {
namespace {

std::mutex deletionLock;
std::vector<std::string>& DeletionList() {
  static std::vector<std::string> list;
  return list;
}

}  // namespace

std::string SafeExtension(const std::string& name) {
  std::string ext = ExtensionOf(name);
  std::string safe;
  for (char c : ext) {
    auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || u < 0x20 || c == ':') continue;
    safe.push_back(c);
  }
  if (safe == "." || safe == "..") safe.clear();
  if (safe.size() > 32) safe.resize(32);
  return safe;
}

TVrLockData::TVrLockData(int32_t id, std::string name, const std::string& temporaryFolder)
    : id(id), name(std::move(name)) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<uint32_t>(id));
  path_ = temporaryFolder + "~kv" + hex + Cp932ToUtf8(SafeExtension(this->name));
}

TVrLockData::~TVrLockData() { QueueTemporaryFileDeletion(path_); }

TVrLockData* TVrLockList::Find(const std::string& name) const {
  for (const auto& lock : current_)
    if (SjisSameText(lock->name, name)) return lock.get();
  return nullptr;
}

bool TVrLockList::InUse(int32_t id) const {
  auto has = [id](const auto& list) {
    return std::any_of(list.begin(), list.end(), [id](const auto& lock) { return lock->id == id; });
  };
  return has(current_) || has(scheduled_);
}

TVrLockData& TVrLockList::Add(const std::string& name, const std::string& temporaryFolder) {
  while (InUse(nextId_)) ++nextId_;
  current_.push_back(std::make_unique<TVrLockData>(nextId_++, name, temporaryFolder));
  return *current_.back();
}

void TVrLockList::Remove(TVrLockData& lock) {
  std::erase_if(current_, [&](const auto& item) { return item.get() == &lock; });
}

bool TVrLockList::Release(const std::string& name, int32_t delayMs) {
  auto it = std::find_if(current_.begin(), current_.end(),
                         [&](const auto& lock) { return SjisSameText(lock->name, name); });
  if (it == current_.end()) return false;
  if (--(*it)->useCount > 0) return true;
  (*it)->remainingMs = delayMs;
  scheduled_.push_back(std::move(*it));
  current_.erase(it);
  return true;
}

TVrLockData* TVrLockList::Revive(const std::string& name) {
  auto it = std::find_if(scheduled_.begin(), scheduled_.end(),
                         [&](const auto& lock) { return SjisSameText(lock->name, name); });
  if (it == scheduled_.end()) return nullptr;
  (*it)->useCount = 1;
  (*it)->remainingMs = 0;
  current_.push_back(std::move(*it));
  scheduled_.erase(it);
  return current_.back().get();
}

void TVrLockList::CountDown(int32_t frameDeltaMs) {
  for (auto& lock : scheduled_) lock->remainingMs -= frameDeltaMs;
  std::erase_if(scheduled_, [](const auto& lock) { return lock->remainingMs <= 0; });
}

void TVrLockList::Clear() {
  current_.clear();
  scheduled_.clear();
}

void QueueTemporaryFileDeletion(const std::string& path) {
  std::lock_guard guard(deletionLock);
  DeletionList().push_back(path);
}

void DeleteQueuedTemporaryFiles() {
  std::vector<std::string> paths;
  {
    std::lock_guard guard(deletionLock);
    paths.swap(DeletionList());
  }
  for (const std::string& path : paths) DeleteFile(path);
}

int QueuedTemporaryFileCount() {
  std::lock_guard guard(deletionLock);
  return static_cast<int>(DeletionList().size());
}

}  // namespace kivo
