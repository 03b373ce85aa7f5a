// What the main window calls in the other subsystems, one small interface each, in the words the
// start-up, the frame tick and the input handlers use. Each subsystem plugs its real object in
// behind these; until it exists a neutral one answers (see neutral_hosts.h).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/screen_manager.h"

namespace kivo {

class IWindow;
class TFormView;

// The data layer's per-tick work and its sources.
class IDataHost {
public:
  virtual ~IDataHost() = default;
  virtual void RegisterMemorySource() = 0;
  virtual void RegisterBaseFolder(const std::string& folder) = 0;
  virtual void RegisterArchive(const std::string& file) = 0;
  // The program's own resource archive, when it carries one.
  virtual void RegisterProgramResourceArchive(const std::string& programFile) = 0;
  virtual void CountDownLocks(int frameDelta) = 0;
  virtual void DeleteQueuedFiles() = 0;
};

// The scene root and its two bases; the screen manager reads the composed frame through it.
class ISceneHost : public IScreenScene {
public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetSize(int width, int height) = 0;
  virtual void InitColor() = 0;

  virtual void UpdateInput() = 0;
  virtual void Update() = 0;
  virtual void Render() = 0;
  virtual void ReleaseDisplaySurfaces() = 0;
  virtual void ReloadDisplaySurfaces() = 0;

  virtual int CurrentBase() const = 0;
  virtual void SetKeyState(int vk, bool down) = 0;
  virtual void KeyPress(int vk) = 0;
  virtual void SetMousePosition(int base, int x, int y) = 0;
  virtual void SetButtonsDown(int base, bool left, bool right) = 0;
  virtual void SetClicked(int base, bool left, bool right) = 0;
  virtual void SetWheel(int base, bool up, bool down) = 0;
  // Held keys and buttons let go when the window loses focus.
  virtual void ReleaseInput() = 0;
};

// The project and its call manager.
class IProjectHost {
public:
  virtual ~IProjectHost() = default;
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  virtual int FullScreenWidthHint() const = 0;
  virtual int FullScreenHeightHint() const = 0;
  virtual std::string Title() const = 0;  // CP932
  virtual bool ToolbarVisible() const = 0;
  virtual bool PauseWhenInactive() const = 0;
  virtual void RunScript() = 0;
  // The pending load or save of the frame; true when a load took place.
  virtual bool HandlePendingLoadSave() = 0;
};

// The media layer: the screen manager and the media managers.
class IMediaHost {
public:
  virtual ~IMediaHost() = default;
  virtual bool OggUsesOwnThread() const = 0;
  virtual void OggUpdate() = 0;
  // Shows the composed frame with the scene panel's top-left corner at panelOrigin.
  virtual void Present(TPoint panelOrigin) = 0;
  virtual void UpdateVideoSurfaces() = 0;
  // What the plug-in's frame message runs (one frame tick).
  virtual void SetFrameHandler(std::function<void()> frame) = 0;

  virtual bool HasFullScreenMode() const = 0;  // a chosen full-screen mode exists
  virtual int DisplayModeCount() const = 0;
  virtual int ChosenModeIndex() const = 0;
  virtual void SetChosenModeIndex(int index) = 0;
  virtual int CurrentModeIndex() const = 0;
  virtual void SetModeIndex(int index) = 0;
  virtual void ReleaseSurfaces() = 0;
  virtual void SetWindowHandles() = 0;

  virtual void SuspendVideo() = 0;
  virtual void ResumeVideo() = 0;
  virtual void PauseAll() = 0;   // wave, streamed audio, Ogg, CD, MIDI
  virtual void ResumeAll() = 0;
  // MIDI around display switches: stop (remembering) and close, then reopen and resume.
  virtual void SuspendMidiForSwitch() = 0;
  virtual void ResumeMidiAfterSwitch() = 0;

  // Writes the last presented frame as PNG; false when there is none or writing failed.
  virtual bool WriteScreenshot(const std::string& path) = 0;
};

// Creates the subsystems in start-up order; the main window owns what they return.
class ISubsystemFactory {
public:
  virtual ~ISubsystemFactory() = default;
  virtual std::unique_ptr<IDataHost> CreateData() = 0;
  // Creates the variable collection and the system function manager.
  virtual void CreateValues() = 0;
  virtual void FreeValues() = 0;
  // --dump-vars: the variables as they are now; false when they cannot be written.
  virtual bool DumpVariables(const std::string& path) = 0;
  virtual void InitSound(bool directSound) = 0;
  virtual std::unique_ptr<ISceneHost> CreateScene() = 0;  // "KivoInitialize"
  // "TProject.Create" with the original command line: may leave the exit-requested flag set.
  // requestClose asks the main window to close (the script's Terminate).
  virtual std::unique_ptr<IProjectHost> CreateProject(const std::vector<std::string>& arguments,
                                                      std::function<void()> requestClose) = 0;
  // "MediaInit". The form is the main window whose display switching the system variables drive.
  virtual std::unique_ptr<IMediaHost> CreateMedia(TFormView& form, IWindow& window, const IProjectHost* project,
                                                  ISceneHost& scene) = 0;
};

}  // namespace kivo
