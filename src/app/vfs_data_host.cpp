// Data sources of the player: registration at start, the per-tick release of extractions.
#include "app/vfs_data_host.h"

#include <cstdio>

#include "platform/kivo_error.h"
#include "platform/message_box.h"
#include "vfs/pe_resource.h"
#include "vfs/vr_file_manager.h"
#include "vfs/vr_lock_list.h"

namespace kivo {
namespace {

// A broken archive is reported and left out; the game may still find its files elsewhere.
template <typename Fn>
void Reporting(const std::string& what, Fn&& register_) {
  try {
    register_();
  } catch (const EKivoError& e) {
    ShowMessageBox("Error", what + "\r\n" + e.Message(), MessageButtons::Ok, MessageIcon::Warning);
  }
}

}  // namespace

TVfsDataHost::TVfsDataHost() { TVrFileManager::Instance(); }

TVfsDataHost::~TVfsDataHost() {
  TVrFileManager::DestroyInstance();
  DeleteQueuedTemporaryFiles();
}

void TVfsDataHost::RegisterMemorySource() { TVrFileManager::Instance().RegisterArchive(""); }

void TVfsDataHost::RegisterBaseFolder(const std::string& folder) { TVrFileManager::Instance().SetBaseFolder(folder); }

void TVfsDataHost::RegisterArchive(const std::string& file) {
  Reporting(file, [&] { TVrFileManager::Instance().RegisterArchive(file); });
}

void TVfsDataHost::RegisterProgramResourceArchive(const std::string& programFile) {
  // Only a resource "DUMMY" of type "BINTYPE" that ends in the archive's "vf" mark counts.
  TTpBigResourceStream resource(programFile, "DUMMY", "BINTYPE");
  if (resource.Size() < 2) return;
  char tail[2] = {};
  resource.Seek(-2, SeekOrigin::End);
  if (resource.Read(tail, 2) != 2 || tail[0] != 'v' || tail[1] != 'f') return;
  Reporting(programFile, [&] { TVrFileManager::Instance().RegisterResourceArchive(programFile, "DUMMY", "BINTYPE"); });
}

void TVfsDataHost::CountDownLocks(int frameDelta) { TVrFileManager::Instance().Locks().CountDown(frameDelta); }

void TVfsDataHost::DeleteQueuedFiles() { DeleteQueuedTemporaryFiles(); }

}  // namespace kivo
