// The project description of a game source folder ("project.txt"): the fields of kivo.kpb and
// the player's part of install.dat, one "key = value" line each.
#pragma once

#include <string>

#include "engine/project_setting.h"
#include "support/install_set.h"

namespace kivo::scenario {

struct TProjectText {
  TProjectSetting setting;
  TKivoInstallSet install;
  bool installTitleGiven = false;  // otherwise the install title is the project title
  int startLine = 0;               // where "start" was written, for messages about it
};

// Raises ESourceErrors naming file:line:column for each bad line.
TProjectText ParseProjectText(const std::string& file, const std::string& utf8);
// UTF-8 text that ParseProjectText reads back to the same setting (and install data).
std::string PrintProjectText(const TProjectSetting& setting, const TKivoInstallSet* install = nullptr);

}  // namespace kivo::scenario
