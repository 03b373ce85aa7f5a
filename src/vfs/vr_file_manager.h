// TVrFileManager: the process-wide data file manager. It finds a data name in the base folder, the
// registered sources and on CD-ROMs, and reads, windows or extracts it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/stream.h"
#include "vfs/vr_file_collection.h"
#include "vfs/vr_lock_list.h"

namespace kivo {

// What "Ask for disc" needs from the project and the main window (texts are CP932).
struct TDiscRequest {
  std::string prompt;      // the project's disc prompt; "%d" stands for the disc number
  std::string quitNotice;  // the project's quit notice
  std::string caption;     // the application title
  std::string title;       // the project title, matched against "install.dat"
  // Reads the disc index and title from an "install.dat" image; false when it is not one. When
  // empty, the install set of the support library reads it.
  std::function<bool(TStream& installData, int32_t& discIndex, std::string& title)> readInstallData;
  // Sets the exit-requested flag and asks the main window to close.
  std::function<void()> requestExit;
};

class TVrFileManager {
public:
  // How long an extraction outlives its last release, so a player that reopens the file finds it.
  static constexpr int32_t kReleaseDelayMs = 3000;

  TVrFileManager();
  // Destroys every extraction; their files are deleted.
  ~TVrFileManager();
  TVrFileManager(const TVrFileManager&) = delete;
  TVrFileManager& operator=(const TVrFileManager&) = delete;

  // The process-wide manager, made on first use.
  static TVrFileManager& Instance();
  // Frees the process-wide manager (at shutdown, after the main window).
  static void DestroyInstance();

  // A trailing delimiter is added when missing; empty means no base folder.
  void SetBaseFolder(const std::string& path);
  const std::string& BaseFolder() const { return baseFolder_; }
  // -1 when a source of that file name (ignoring case) exists already. An empty path registers an
  // empty source (source 0, the in-memory one, is registered this way first).
  int RegisterArchive(const std::string& path);
  int RegisterResourceArchive(const std::string& modulePath, const std::string& resourceName,
                              const std::string& resourceType);
  int SourceCount() const { return static_cast<int>(sources_.size()); }
  TVrFileCollection& Source(int index) const { return *sources_.at(static_cast<size_t>(index)); }

  bool Exists(const std::string& name);
  // Fills target with the plain contents and rewinds it.
  void ReadFile(TStream& target, const std::string& name);
  // A read-only window onto the stored bytes.
  std::unique_ptr<TStream> OpenWindow(const std::string& name);
  // A path on disk: the loose file, a temporary extraction, or the name itself.
  std::string RealPath(const std::string& name);
  // One use of an extraction less; the file goes kReleaseDelayMs (or delayMs) after the last.
  bool ReleaseRealPath(const std::string& name, int32_t delayMs = kReleaseDelayMs);
  void ListFolder(const std::string& folder, std::vector<std::string>& list);
  TVrFile* EntryOf(const std::string& name) const;
  // The name up to and including its last delimiter (a host folder for absolute names).
  static std::string FolderOf(const std::string& name);
  // Asks for disc n (1-based) until it is inserted (true) or the player quits (false).
  bool AskForDisc(int32_t disc, const TDiscRequest& request);

  // The frame tick's data step: scheduled releases count down by the frame delta, then queued
  // temporary files are deleted.
  void LockCountDown(int32_t frameDeltaMs);

  const std::vector<std::string>& CdRomRoots() const { return cdRomRoots_; }
  // Fixes the CD-ROM roots (also for later disc requests, which otherwise read the mounts again).
  void SetCdRomRoots(std::vector<std::string> roots);
  const std::string& TemporaryFolder() const { return temporaryFolder_; }
  void SetTemporaryFolder(const std::string& folder);
  TVrLockList& Locks() { return locks_; }

private:
  std::optional<std::string> DiskFile(const std::string& folder, const std::string& name) const;
  std::string Extract(const std::string& name);

  std::vector<std::unique_ptr<TVrFileCollection>> sources_;
  std::string baseFolder_;
  std::vector<std::string> cdRomRoots_;
  bool fixedRoots_ = false;
  std::string temporaryFolder_;
  TVrLockList locks_;
};

}  // namespace kivo
