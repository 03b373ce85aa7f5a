// The media layer behind the main window's media host: the screen manager and the media managers.
#pragma once

#include "app/hosts.h"

namespace kivo {

class TMediaLayerHost : public IMediaHost {
public:
  // "MediaInit" with the project's screen size and full-screen hints.
  TMediaLayerHost(IWindow& window, ISceneHost& scene, int width, int height, int fullWidthHint, int fullHeightHint);
  // "MediaFinal".
  ~TMediaLayerHost() override;

  bool OggUsesOwnThread() const override { return true; }
  void OggUpdate() override;
  void Present(TPoint panelOrigin) override;
  void UpdateVideoSurfaces() override;
  void SetFrameHandler(std::function<void()> frame) override;

  bool HasFullScreenMode() const override;
  int DisplayModeCount() const override;
  int ChosenModeIndex() const override;
  void SetChosenModeIndex(int index) override;
  int CurrentModeIndex() const override;
  void SetModeIndex(int index) override;
  void ReleaseSurfaces() override;
  // The plug-in holds the window object itself, which lives through display switches.
  void SetWindowHandles() override {}

  void SuspendVideo() override;
  void ResumeVideo() override;
  void PauseAll() override;
  void ResumeAll() override;
  // MIDI songs arrive with the sequencer; until then there is nothing to stop around a switch.
  void SuspendMidiForSwitch() override {}
  void ResumeMidiAfterSwitch() override {}

  bool WriteScreenshot(const std::string& path) override;

private:
  ISceneHost& scene_;
};

}  // namespace kivo
