// Extractions of archive entries to temporary files: TVrLockData, TVrLockList and the process-wide
// list of temporary files awaiting deletion.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kivo {

class TVrLockData {
public:
  TVrLockData(int32_t id, std::string name, const std::string& temporaryFolder);
  // Queues the temporary file for deletion.
  ~TVrLockData();
  TVrLockData(const TVrLockData&) = delete;
  TVrLockData& operator=(const TVrLockData&) = delete;

  int32_t id;
  std::string name;
  int32_t useCount = 1;
  int32_t remainingMs = 0;
  // Temporary folder + "~kv" + id as 8 hex digits + the entry's extension.
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

class TVrLockList {
public:
  // The current extraction of that name, or null.
  TVrLockData* Find(const std::string& name) const;
  // A new extraction with the next free id and a use count of 1.
  TVrLockData& Add(const std::string& name, const std::string& temporaryFolder);
  // Drops an extraction at once (its file could not be written).
  void Remove(TVrLockData& lock);
  // One use less; at none left the extraction is scheduled for release after delayMs.
  // False when there is no current extraction of that name.
  bool Release(const std::string& name, int32_t delayMs);
  // A scheduled extraction of that name comes back into use (the file is still there).
  TVrLockData* Revive(const std::string& name);
  // Counts the scheduled releases down and destroys those that are due.
  void CountDown(int32_t frameDeltaMs);
  void Clear();

  int CurrentCount() const { return static_cast<int>(current_.size()); }
  int ScheduledCount() const { return static_cast<int>(scheduled_.size()); }

private:
  bool InUse(int32_t id) const;

  std::vector<std::unique_ptr<TVrLockData>> current_;
  std::vector<std::unique_ptr<TVrLockData>> scheduled_;
  int32_t nextId_ = 0;
};

// The temporary files waiting to be deleted; shared by the whole process.
void QueueTemporaryFileDeletion(const std::string& path);
// Deletes every queued file and empties the list.
void DeleteQueuedTemporaryFiles();
int QueuedTemporaryFileCount();

// The extension of a data name made safe for a temporary file name: it never holds a path
// delimiter, so a hostile entry name cannot lead the file out of the temporary folder.
std::string SafeExtension(const std::string& name);

}  // namespace kivo
