// The player settings kept in "game.ini" in the program folder.
#pragma once

#include <string>

namespace kivo {

struct TGameSettings {
  bool directSound = true;
  int delayTimeMs = 500;  // sound buffer length: a multiple of 100 in 100..500
  bool useWmp = false;

  // Reads the file; a missing file or key leaves the default.
  static TGameSettings Read(const std::string& iniPath);
  static int ClampDelayTime(int ms);
};

}  // namespace kivo
