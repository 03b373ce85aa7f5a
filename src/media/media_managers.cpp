// The media managers' own operations and the routing of sound files by extension.
#include "media/media_managers.h"

#include <algorithm>
#include <cctype>

#include "media/plugin/plugin_library.h"

namespace kivo {

void TVideoManager::PauseAll() {
  if (paused_) return;
  paused_ = true;
  PauseItems();
}

void TVideoManager::ResumeAll() {
  if (!paused_) return;
  paused_ = false;
  ResumeItems();
}

void TVideoManager::Suspend() {
  if (KivoPlugin().kivoVidmanSuspend) KivoPlugin().kivoVidmanSuspend();
}

void TVideoManager::Resume() {
  if (KivoPlugin().kivoVidmanResume) KivoPlugin().kivoVidmanResume();
}

void TVideoManager::Update() {
  for (auto& item : items_) static_cast<TVideoItem&>(*item).UpdatePicture();
}

std::unique_ptr<TDMediaItem> TVideoManager::CreateItem(const std::string&) { return std::make_unique<TVideoItem>(this); }

void TWmpManager::Restore() {
  for (auto& item : items_) item->Restore();
}

void TOggManager::Restore() {
  for (auto& item : items_) item->Restore();
}

int TCddaManager::MixerLevel(int volume, int rememberedLevel) {
  const int v = std::clamp(volume, -5000, 0);
  return static_cast<int>(static_cast<int64_t>(v + 5000) * rememberedLevel / 5000);
}

std::vector<std::string> TMidiManager::OutputDeviceNames(const std::vector<std::string>& devices) {
  std::vector<std::string> names{"MIDI\x83\x7D\x83\x62\x83\x70\x81\x5B"};
  names.insert(names.end(), devices.begin(), devices.end());
  return names;
}

TSoundRoute RouteSound(const std::string& fileName, int* track) {
  std::string lower(fileName);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const size_t slash = lower.find_last_of("\\/");
  const size_t dot = lower.rfind('.');
  const std::string ext = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? lower.substr(dot) : "";
  if (ext == ".mid" || ext == ".sgt") return TSoundRoute::Midi;
  if (ext == ".wma" || ext == ".asf" || ext == ".wmv") return TSoundRoute::Wmp;
  if (ext == ".ogg" || ext == ".wav") return TSoundRoute::Ogg;
  if (lower.rfind("cd_", 0) == 0) {
    int n = 0;
    for (size_t i = 3; i < lower.size() && std::isdigit(static_cast<unsigned char>(lower[i])) && n < 100000; ++i) n = n * 10 + (lower[i] - '0');
    if (track) *track = n;
    return TSoundRoute::Cdda;
  }
  return TSoundRoute::None;
}

}  // namespace kivo
