// The media managers by medium (video, media-player audio, Ogg and wave, CD audio, MIDI) and the
// choice of manager for a sound file.
#pragma once

#include <string>
#include <vector>

#include "media/media_item.h"

namespace kivo {

// A video item also refreshes its picture once per frame.
class TVideoItem : public TDMediaItem {
public:
  using TDMediaItem::TDMediaItem;
  virtual void UpdatePicture() {}
};

// Video has no enabled flag: pause and resume always apply.
class TVideoManager : public TMediaManager {
public:
  void PauseAll() override;
  void ResumeAll() override;
  void SetEnabled(bool) override {}
  // Around display changes: the plug-in's video family lets go of the display and takes it again.
  void Suspend();
  void Resume();
  // Every item refreshes its picture.
  void Update();

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName) override;
};

class TWmpManager : public TMediaManager {
public:
  // After the sound device was lost: every item restores itself.
  void Restore();
};

class TOggManager : public TMediaManager {
public:
  void Restore();
};

class TCddaManager : public TMediaManager {
public:
  // Mixer level of the CD line for a volume in hundredths of decibels (clamped to -5000 .. 0),
  // linear from 0 at -5000 to the remembered level at 0.
  static int MixerLevel(int volume, int rememberedLevel);
};

class TMidiManager : public TMediaManager {
public:
  // The output choices: the mapper first ("MIDIマッパー"), then the devices by name (CP932).
  static std::vector<std::string> OutputDeviceNames(const std::vector<std::string>& devices);
};

enum class TSoundRoute { None, Midi, Wmp, Ogg, Cdda };

// The manager for a sound file by lower-cased extension: .mid .sgt MIDI; .wma .asf .wmv media
// player; .ogg .wav Ogg; any other name beginning with "CD_" a CD track (its number: the digits
// after "CD_", stored in *track).
TSoundRoute RouteSound(const std::string& fileName, int* track = nullptr);

}  // namespace kivo
