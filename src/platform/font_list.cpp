// Font family names from fontconfig, converted to CP932.
#include "platform/font_list.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>

#include "platform/cp932.h"

namespace kivo {

std::vector<std::string> FontFamilyNames(bool fixedPitchOnly) {
  std::vector<std::string> names;
  // A configuration of our own, freed at the end: the shared default one would stay allocated
  // for the rest of the process.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return names;
  FcPattern* pattern = FcPatternCreate();
  if (fixedPitchOnly) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_SPACING, nullptr);
  FcFontSet* fonts = FcFontList(config, pattern, objects);
  if (fonts != nullptr) {
    for (int i = 0; i < fonts->nfont; ++i) {
      FcPattern* font = fonts->fonts[i];
      FcChar8* family = nullptr;
      int chosen = 0;
      // Windows shows a Japanese font by its Japanese name on a Japanese system.
      FcChar8* lang = nullptr;
      for (int n = 0; FcPatternGetString(font, FC_FAMILYLANG, n, &lang) == FcResultMatch; ++n) {
        if (std::strcmp(reinterpret_cast<const char*>(lang), "ja") == 0) {
          chosen = n;
          break;
        }
      }
      if (FcPatternGetString(font, FC_FAMILY, chosen, &family) != FcResultMatch &&
          FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch) {
        continue;
      }
      std::string utf8(reinterpret_cast<const char*>(family));
      if (utf8.empty() || !IsUtf8RepresentableInCp932(utf8)) continue;
      names.push_back(Utf8ToCp932(utf8));
    }
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace kivo
