// Stand-ins for subsystems that are not plugged in: they keep what they are told and do nothing
// else, so the start-up order and the frame tick run whole.
#pragma once

#include <array>

#include "app/hosts.h"

namespace kivo {

class TNeutralData : public IDataHost {
public:
  void RegisterMemorySource() override {}
  void RegisterBaseFolder(const std::string&) override {}
  void RegisterArchive(const std::string&) override {}
  void RegisterProgramResourceArchive(const std::string&) override {}
  void CountDownLocks(int) override {}
  void DeleteQueuedFiles() override {}
};

class TNeutralScene : public ISceneHost {
public:
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetSize(int width, int height) override {
    width_ = width;
    height_ = height;
  }
  void InitColor() override {}
  void UpdateInput() override {}
  void Update() override {}
  void Render() override {}
  bool HasComposedSurface() const override { return false; }
  int ZoomPercent() const override { return 100; }
  TRect FullUpdateRect() const override { return {}; }
  std::span<const TRect> DirtyRects() const override { return {}; }
  void ClearDirtyLists() override {}
  void ReleaseDisplaySurfaces() override {}
  void ReloadDisplaySurfaces() override {}
  int CurrentBase() const override { return 0; }
  void SetKeyState(int vk, bool down) override { keys_.at(static_cast<size_t>(vk)) = down; }
  void KeyPress(int) override {}
  void SetMousePosition(int, int, int) override {}
  void SetButtonsDown(int, bool, bool) override {}
  void SetClicked(int, bool, bool) override {}
  void SetWheel(int, bool, bool) override {}
  void ReleaseInput() override { keys_.fill(false); }

private:
  int width_ = 0;
  int height_ = 0;
  std::array<bool, 256> keys_{};
};

// The project stand-in: a 640 x 480 screen that runs no script.
class TNeutralProject : public IProjectHost {
public:
  int ScreenWidth() const override { return 640; }
  int ScreenHeight() const override { return 480; }
  int FullScreenWidthHint() const override { return -1; }
  int FullScreenHeightHint() const override { return -1; }
  std::string Title() const override { return "KivoPlayer"; }
  bool ToolbarVisible() const override { return false; }
  bool PauseWhenInactive() const override { return false; }
  void RunScript() override {}
  bool HandlePendingLoadSave() override { return false; }
};

class TNeutralMedia : public IMediaHost {
public:
  bool OggUsesOwnThread() const override { return true; }
  void OggUpdate() override {}
  void Present(TPoint) override {}
  void SetFrameHandler(std::function<void()>) override {}
  void UpdateVideoSurfaces() override {}
  bool HasFullScreenMode() const override { return false; }
  int DisplayModeCount() const override { return 0; }
  int ChosenModeIndex() const override { return -1; }
  void SetChosenModeIndex(int) override {}
  int CurrentModeIndex() const override { return -1; }
  void SetModeIndex(int) override {}
  void ReleaseSurfaces() override {}
  void SetWindowHandles() override {}
  void SuspendVideo() override {}
  void ResumeVideo() override {}
  void PauseAll() override {}
  void ResumeAll() override {}
  void SuspendMidiForSwitch() override {}
  void ResumeMidiAfterSwitch() override {}
  bool WriteScreenshot(const std::string&) override { return false; }
};

}  // namespace kivo
