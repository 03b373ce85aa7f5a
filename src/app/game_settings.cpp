// game.ini reading.
#include "app/game_settings.h"

#include <algorithm>

#include "platform/ini_file.h"

namespace kivo {

int TGameSettings::ClampDelayTime(int ms) { return std::clamp(ms / 100 * 100, 100, 500); }

TGameSettings TGameSettings::Read(const std::string& iniPath) {
  TGameSettings s;
  TIniFile ini(iniPath);
  if (!ini.Exists()) return s;
  s.directSound = ini.ReadBool("Sound", "DirectSound", s.directSound);
  s.delayTimeMs = ClampDelayTime(ini.ReadInteger("Sound", "DelayTime", s.delayTimeMs));
  s.useWmp = ini.ReadBool("Video", "UseWMP", s.useWmp);
  return s;
}

}  // namespace kivo
