// TProjectSetting: the project file "kivo.kpb", read at every accepted version and written at the
// newest (the scenario compiler writes it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/extended.h"
#include "support/folder_disk_list.h"
#include "support/stream.h"

namespace kivo {

// One initial variable of the project: its type decides which value is stored.
struct TInitialVariable {
  enum Type : uint8_t { None = 0, Integer = 1, Float = 2, Boolean = 3, String = 4 };
  std::string name;
  uint8_t type = None;
  int32_t intValue = 0;
  Extended floatValue = 0;
  bool boolValue = false;
  std::string stringValue;
  bool operator==(const TInitialVariable&) const = default;
};

struct TProjectSetting {
  static constexpr int32_t kNewestVersion = 116;

  int32_t version = kNewestVersion;
  std::string title;
  int32_t screenWidth = 640;
  int32_t screenHeight = 480;
  int32_t fullScreenWidthHint = -1;
  int32_t fullScreenHeightHint = -1;
  std::string startPage;
  std::string exitPage;
  std::string registryKey;
  int32_t imageSeed = 0;
  bool writeStatusFile = false;
  bool idleYield = false;
  std::string mediaExtensions = ".wav.wma.ogg.mid";
  bool pauseWhenInactive = false;
  bool startFlag = false;
  bool toolbarVisible = true;
  std::string discPrompt;
  std::string quitNotice;
  std::vector<TInitialVariable> initialVariables;
  TFolderDiskList folderDiscs;

  // Raises "このバージョンには対応していません" above the newest version, and a stream error on
  // truncated data.
  void LoadFromStream(TStream& stream);
  // Writes at `version` (the newest unless changed).
  void SaveToStream(TStream& stream) const;
};

}  // namespace kivo
