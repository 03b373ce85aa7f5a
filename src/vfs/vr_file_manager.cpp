// The manager's lookup order, extraction, listing, disc requests and the per-tick release.
#include "vfs/vr_file_manager.h"

#include <algorithm>

#include "platform/cp932.h"
#include "platform/dir_listing.h"
#include "platform/file_system.h"
#include "platform/kivo_error.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "support/install_set.h"
#include "support/sjis.h"
#include "vfs/disk_names.h"
#include "vfs/file_stream.h"
#include "vfs/range_stream.h"
#include "vfs/vr_messages.h"

namespace kivo {
namespace {

std::unique_ptr<TVrFileManager>& InstanceSlot() {
  static std::unique_ptr<TVrFileManager> instance;
  return instance;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && SjisSameText(std::string_view(text).substr(0, prefix.size()), prefix);
}

// A host name from a listing as a data name: UTF-8 names become CP932, others stay as they are.
std::string DataNameOfDiskName(const std::string& diskName) {
  return IsUtf8RepresentableInCp932(diskName) ? Utf8ToCp932(diskName) : diskName;
}

}  // namespace

TVrFileManager::TVrFileManager() : cdRomRoots_(OpticalDriveRoots()), temporaryFolder_(TempFolder()) {}

TVrFileManager::~TVrFileManager() {
  locks_.Clear();
  sources_.clear();
  DeleteQueuedTemporaryFiles();
}

TVrFileManager& TVrFileManager::Instance() {
  auto& slot = InstanceSlot();
  if (!slot) slot = std::make_unique<TVrFileManager>();
  return *slot;
}

void TVrFileManager::DestroyInstance() { InstanceSlot().reset(); }

void TVrFileManager::SetBaseFolder(const std::string& path) {
  baseFolder_ = path;
  if (!baseFolder_.empty() && baseFolder_.back() != '/') baseFolder_.push_back('/');
}

void TVrFileManager::SetCdRomRoots(std::vector<std::string> roots) {
  for (std::string& root : roots)
    if (!root.empty() && root.back() != '/') root.push_back('/');
  cdRomRoots_ = std::move(roots);
  fixedRoots_ = true;
}

void TVrFileManager::SetTemporaryFolder(const std::string& folder) {
  temporaryFolder_ = folder;
  if (!temporaryFolder_.empty() && temporaryFolder_.back() != '/') temporaryFolder_.push_back('/');
}

int TVrFileManager::RegisterArchive(const std::string& path) {
  for (const auto& source : sources_)
    if (SjisSameText(source->FileName(), path)) return -1;
  auto source = std::make_unique<TVrFileCollection>();
  source->Open(path);
  sources_.push_back(std::move(source));
  return SourceCount() - 1;
}

int TVrFileManager::RegisterResourceArchive(const std::string& modulePath, const std::string& resourceName,
                                            const std::string& resourceType) {
  auto source = std::make_unique<TVrFileCollection>();
  source->OpenResource(modulePath, resourceName, resourceType);
  sources_.push_back(std::move(source));
  return SourceCount() - 1;
}

std::optional<std::string> TVrFileManager::DiskFile(const std::string& folder, const std::string& name) const {
  return FindDiskFile(folder, name);
}

TVrFile* TVrFileManager::EntryOf(const std::string& name) const {
  for (const auto& source : sources_)
    if (TVrFile* entry = source->EntryOf(name)) return entry;
  return nullptr;
}

bool TVrFileManager::Exists(const std::string& name) {
  if (name.empty()) return false;
  if (EntryOf(name)) return true;
  if (DiskFile(baseFolder_, name)) return true;
  for (const std::string& root : cdRomRoots_)
    if (DiskFile(root, name)) return true;
  return false;
}

void TVrFileManager::ReadFile(TStream& target, const std::string& name) {
  if (auto path = DiskFile(baseFolder_, name)) return ReadDiskFile(*path, target);
  for (const auto& source : sources_) {
    TVrFile* entry = source->EntryOf(name);
    if (entry && (entry->InMemory() || source->HasStream())) return source->ReadEntryData(*entry, target);
  }
  for (const std::string& root : cdRomRoots_)
    if (auto path = DiskFile(root, name)) return ReadDiskFile(*path, target);
  throw EKivoError(MsgFileNotFound(name));
}

std::unique_ptr<TStream> TVrFileManager::OpenWindow(const std::string& name) {
  if (auto path = DiskFile(baseFolder_, name)) return std::make_unique<TFileRangeStream>(*path, 0, 0);
  for (const auto& source : sources_)
    if (auto window = source->OpenWindow(name)) return window;
  for (const std::string& root : cdRomRoots_)
    if (auto path = DiskFile(root, name)) return std::make_unique<TFileRangeStream>(*path, 0, 0);
  throw EKivoError(MsgFileNotFound(name));
}

std::string TVrFileManager::RealPath(const std::string& name) {
  if (auto path = DiskFile(baseFolder_, name)) return *path;
  for (const auto& source : sources_) {
    TVrFile* entry = source->EntryOf(name);
    if (entry && (entry->InMemory() || source->HasStream())) return Extract(name);
  }
  for (const std::string& root : cdRomRoots_)
    if (auto path = DiskFile(root, name)) return *path;
  return name;
}

std::string TVrFileManager::Extract(const std::string& name) {
  if (TVrLockData* lock = locks_.Find(name)) {
    ++lock->useCount;
    return lock->Path();
  }
  if (TVrLockData* lock = locks_.Revive(name)) {
    if (FileExists(lock->Path())) return lock->Path();
    locks_.Remove(*lock);
  }
  TVrLockData& lock = locks_.Add(name, temporaryFolder_);
  std::unique_ptr<TAtomicFile> file;
  try {
    file = std::make_unique<TAtomicFile>(lock.Path());
  } catch (const EKivoError&) {
    locks_.Remove(lock);
    throw EKivoError(kMsgWorkFileNotCreated);
  }
  try {
    for (const auto& source : sources_) {
      TVrFile* entry = source->EntryOf(name);
      if (entry && (entry->InMemory() || source->HasStream())) {
        source->ReadEntryData(*entry, file->Stream());
        break;
      }
    }
    file->Commit();
  } catch (...) {
    // No half-written extraction is ever handed out: the temporary name goes with the file.
    file.reset();
    locks_.Remove(lock);
    throw;
  }
  return lock.Path();
}

bool TVrFileManager::ReleaseRealPath(const std::string& name, int32_t delayMs) { return locks_.Release(name, delayMs); }

void TVrFileManager::LockCountDown(int32_t frameDeltaMs) {
  locks_.CountDown(frameDeltaMs);
  DeleteQueuedTemporaryFiles();
}

std::string TVrFileManager::FolderOf(const std::string& name) {
  std::string bare = BareNameOf(name);
  return name.substr(0, name.size() - bare.size());
}

void TVrFileManager::ListFolder(const std::string& folder, std::vector<std::string>& list) {
  std::string wanted = folder;
  if (!wanted.empty() && wanted.back() != '\\' && wanted.back() != '/') wanted.push_back('\\');
  auto listed = [&](const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& s) { return SjisSameText(s, name); });
  };
  for (const auto& source : sources_) {
    for (int i = 0; i < source->EntryCount(); ++i) {
      const std::string& name = source->Entry(i).Name();
      if (!SjisSameText(FolderOf(name), wanted)) continue;
      if (!listed(BareNameOf(name)) && !listed(name)) list.push_back(name);
    }
  }
  auto listDisk = [&](const std::string& root) {
    if (root.empty()) return;
    std::optional<std::string> hostFolder = wanted.empty() ? std::optional<std::string>(root)
                                                           : FindDiskFile(root, wanted.substr(0, wanted.size() - 1), true);
    if (!hostFolder || !FileFactsOf(*hostFolder).isFolder) return;
    std::string prefix = *hostFolder;
    if (prefix.back() != '/') prefix.push_back('/');
    std::vector<TDirEntry> items;
    ListDirectory(prefix, items);
    for (const TDirEntry& item : items)
      if (!item.isFolder) list.push_back(wanted + DataNameOfDiskName(item.name));
  };
  listDisk(baseFolder_);
  for (const std::string& root : cdRomRoots_) listDisk(root);
}

bool TVrFileManager::AskForDisc(int32_t disc, const TDiscRequest& request) {
  std::erase_if(sources_, [&](const auto& source) {
    return std::any_of(cdRomRoots_.begin(), cdRomRoots_.end(),
                       [&](const std::string& root) { return StartsWithIgnoringCase(source->FileName(), root); });
  });
  std::string prompt = request.prompt;
  if (size_t at = prompt.find("%d"); at != std::string::npos) prompt.replace(at, 2, std::to_string(disc));
  // A headless run answers every prompt with OK; give up after many fruitless answers rather
  // than ask forever.
  for (int attempt = 0;; ++attempt) {
    bool ok = attempt < 50 && ShowMessageBox(request.caption, prompt, MessageButtons::OkCancel,
                                             MessageIcon::Information) == MessageAnswer::Ok;
    if (ok) {
      // Discs inserted after start-up are found too: the optical mounts are read again.
      if (!fixedRoots_) cdRomRoots_ = OpticalDriveRoots();
      int registered = 0;
      for (const std::string& root : cdRomRoots_) {
        auto game = DiskFile(root, "game.dat");
        auto install = DiskFile(root, "install.dat");
        if (!game || !install) continue;
        TMemoryStream data;
        int32_t discIndex = -1;
        std::string title;
        try {
          ReadDiskFile(*install, data);
          if (request.readInstallData) {
            if (!request.readInstallData(data, discIndex, title)) continue;
          } else {
            TKivoInstallSet set;
            set.LoadFromStream(data);
            discIndex = set.DiscIndex;
            title = set.Title;
          }
        } catch (const EKivoError&) {
          continue;  // an unreadable install.dat is not the disc asked for
        }
        if (title == request.title && discIndex == disc - 1 && RegisterArchive(*game) >= 0) ++registered;
      }
      if (registered > 0) return true;
      continue;
    }
    if (ShowMessageBox(request.caption, request.quitNotice, MessageButtons::OkCancel, MessageIcon::Question) ==
        MessageAnswer::Ok) {
      if (request.requestExit) request.requestExit();
      return false;
    }
    attempt = 0;
  }
}

}  // namespace kivo
