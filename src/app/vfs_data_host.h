// The data file manager behind the main window's data host.
#pragma once

#include "app/hosts.h"

namespace kivo {

class TVfsDataHost : public IDataHost {
public:
  TVfsDataHost();
  // Frees the process-wide manager: its extracted files are deleted.
  ~TVfsDataHost() override;

  void RegisterMemorySource() override;
  void RegisterBaseFolder(const std::string& folder) override;
  void RegisterArchive(const std::string& file) override;
  void RegisterProgramResourceArchive(const std::string& programFile) override;
  void CountDownLocks(int frameDelta) override;
  void DeleteQueuedFiles() override;
};

}  // namespace kivo
