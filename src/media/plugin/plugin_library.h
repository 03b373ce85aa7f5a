// The loaded media plug-in: its entry points by name (null when the library lacks one).
#pragma once

#include <memory>
#include <string>

#include "media/plugin/plugin_api.h"

namespace kivo {

class TSharedLibrary;

class TKivoPluginLibrary {
public:
  enum class LoadResult { Loaded, Missing, WrongVersion };

  TKivoPluginLibrary();
  ~TKivoPluginLibrary();

  // Loads the library at path and checks its version.
  LoadResult Load(const std::string& path);
  void Unload();
  bool IsLoaded() const { return library_ != nullptr; }
  // Why loading failed, as the system loader said (for the log, not for the player).
  const std::string& LoadError() const { return loadError_; }

#define KIVO_ENTRY_FIELD(name, ret, params) name##Fn name = nullptr;
  KIVO_PLUGIN_ENTRY_POINTS(KIVO_ENTRY_FIELD)
#undef KIVO_ENTRY_FIELD

private:
  std::unique_ptr<TSharedLibrary> library_;
  std::string loadError_;
};

// The process-wide plug-in.
TKivoPluginLibrary& KivoPlugin();

// Loads "libkivo.so" from the program folder. On failure shows the system's message (caption
// "Error", warning icon) and answers false: the program must terminate.
bool LoadKivoPluginOrReport(const std::string& programFolder);

}  // namespace kivo
