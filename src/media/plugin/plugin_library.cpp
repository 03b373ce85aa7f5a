// Loading and version check of the media plug-in.
#include "media/plugin/plugin_library.h"

#include <cstdio>

#include "platform/message_box.h"
#include "platform/shared_library.h"

namespace kivo {

namespace {
// "kivo.dll" CRLF "ファイルがありません"
const char kMissingText[] =
    "kivo.dll\r\n\x83t\x83@\x83" "C\x83\x8B\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// "kivo.dllのバージョンがあいません"
const char kVersionText[] =
    "kivo.dll\x82\xCC\x83o\x81[\x83W\x83\x87\x83\x93\x82\xAA\x82\xA0\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
}  // namespace

TKivoPluginLibrary::TKivoPluginLibrary() = default;
TKivoPluginLibrary::~TKivoPluginLibrary() = default;

TKivoPluginLibrary::LoadResult TKivoPluginLibrary::Load(const std::string& path) {
  Unload();
  auto library = std::make_unique<TSharedLibrary>(path);
  if (!library->IsLoaded()) {
    loadError_ = library->Error();
    return LoadResult::Missing;
  }
#define KIVO_ENTRY_LOOKUP(name, ret, params) name = library->Entry<name##Fn>(#name);
  KIVO_PLUGIN_ENTRY_POINTS(KIVO_ENTRY_LOOKUP)
#undef KIVO_ENTRY_LOOKUP
  library_ = std::move(library);
  if (!kivoVersion || kivoVersion() != KIVO_PLUGIN_VERSION) {
    Unload();
    return LoadResult::WrongVersion;
  }
  return LoadResult::Loaded;
}

void TKivoPluginLibrary::Unload() {
#define KIVO_ENTRY_CLEAR(name, ret, params) name = nullptr;
  KIVO_PLUGIN_ENTRY_POINTS(KIVO_ENTRY_CLEAR)
#undef KIVO_ENTRY_CLEAR
  library_.reset();
}

TKivoPluginLibrary& KivoPlugin() {
  static TKivoPluginLibrary plugin;
  return plugin;
}

bool LoadKivoPluginOrReport(const std::string& programFolder) {
  TKivoPluginLibrary& plugin = KivoPlugin();
  switch (plugin.Load(programFolder + "libkivo.so")) {
    case TKivoPluginLibrary::LoadResult::Loaded: return true;
    case TKivoPluginLibrary::LoadResult::Missing:
      std::fprintf(stderr, "kivoplay: %s\n", plugin.LoadError().c_str());
      ShowMessageBox("Error", kMissingText, MessageButtons::Ok, MessageIcon::Warning);
      return false;
    case TKivoPluginLibrary::LoadResult::WrongVersion:
      ShowMessageBox("Error", kVersionText, MessageButtons::Ok, MessageIcon::Warning);
      return false;
  }
  return false;
}

}  // namespace kivo
