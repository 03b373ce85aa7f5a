// The neutral engine-state hosts and the platform-backed font list.
#include "values/system_hosts.h"

#include "platform/font_list.h"

namespace kivo {

std::string TFontHost::FontNames(bool fixedPitchOnly) {
  // The installed fonts do not change while a game runs; ask fontconfig once per list.
  std::string& cached = fixedPitchOnly ? fixed_ : all_;
  bool& known = fixedPitchOnly ? fixedKnown_ : allKnown_;
  if (!known) {
    std::string joined;
    for (const std::string& name : FontFamilyNames(fixedPitchOnly)) {
      if (!joined.empty()) joined += "\r\n";
      joined += name;
    }
    cached = std::move(joined);
    known = true;
  }
  return cached;
}

namespace {
TCallHost neutralCall;
TSceneHost neutralScene;
THistoryHost neutralHistory;
TMidiHost neutralMidi;
TScreenHost neutralScreen;
TProjectHost neutralProject;
TFontHost platformFonts;
TClockHost localClock;
}  // namespace

TSystemHosts::TSystemHosts()
    : Call(&neutralCall), Scene(&neutralScene), History(&neutralHistory), Midi(&neutralMidi), Screen(&neutralScreen),
      Project(&neutralProject), Fonts(&platformFonts), Clock(&localClock) {}

}  // namespace kivo
