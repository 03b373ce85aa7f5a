// Recording stand-ins for the subsystems, so the main window's order of calls can be checked.
#pragma once

#include <string>
#include <vector>

#include "app/neutral_hosts.h"

namespace kivo::testing {

using CallLog = std::vector<std::string>;

class TRecordingData : public IDataHost {
public:
  explicit TRecordingData(CallLog& log) : log_(log) {}
  void RegisterMemorySource() override { log_.push_back("memory"); }
  void RegisterBaseFolder(const std::string& f) override { log_.push_back("base " + f); }
  void RegisterArchive(const std::string& f) override { log_.push_back("archive " + f); }
  void RegisterProgramResourceArchive(const std::string& f) override { log_.push_back("resource " + f); }
  void CountDownLocks(int delta) override { log_.push_back("locks " + std::to_string(delta)); }
  void DeleteQueuedFiles() override { log_.push_back("delete"); }

private:
  CallLog& log_;
};

class TRecordingScene : public TNeutralScene {
public:
  explicit TRecordingScene(CallLog& log) : log_(log) {}
  void UpdateInput() override { log_.push_back("input"); }
  void Update() override { log_.push_back("update"); }
  void Render() override { log_.push_back("render"); }
  void ClearDirtyLists() override { log_.push_back("clear"); }
  void ReleaseDisplaySurfaces() override { log_.push_back("release bases"); }
  void ReloadDisplaySurfaces() override { log_.push_back("reload bases"); }
  void SetKeyState(int vk, bool down) override { log_.push_back("key " + std::to_string(vk) + (down ? " down" : " up")); }
  void KeyPress(int vk) override { log_.push_back("press " + std::to_string(vk)); }
  void SetClicked(int base, bool left, bool right) override {
    log_.push_back("click " + std::to_string(base) + (left ? " L" : "") + (right ? " R" : ""));
  }
  void ReleaseInput() override { log_.push_back("release input"); }

private:
  CallLog& log_;
};

class TRecordingProject : public TNeutralProject {
public:
  TRecordingProject(CallLog& log, bool& exitFlag) : log_(log), exitFlag_(exitFlag) {}
  void RunScript() override {
    log_.push_back("script");
    if (exitAfterScript) exitFlag_ = true;
  }
  bool HandlePendingLoadSave() override {
    log_.push_back("loadsave");
    return loadNextTick && !(loadNextTick = false);
  }
  bool ToolbarVisible() const override { return toolbar; }
  std::string Title() const override { return "Game"; }
  bool exitAfterScript = false;
  bool loadNextTick = false;
  bool toolbar = false;

private:
  CallLog& log_;
  bool& exitFlag_;
};

class TRecordingMedia : public TNeutralMedia {
public:
  explicit TRecordingMedia(CallLog& log) : log_(log) {}
  void Present(TPoint) override { log_.push_back("present"); }
  void UpdateVideoSurfaces() override { log_.push_back("video"); }
  bool HasFullScreenMode() const override { return true; }
  int ChosenModeIndex() const override { return 0; }
  int CurrentModeIndex() const override { return current_; }
  void SetModeIndex(int index) override {
    log_.push_back("mode " + std::to_string(index));
    current_ = index >= 0 && modeFails ? -1 : index;
  }
  bool modeFails = false;

private:
  CallLog& log_;
  int current_ = -1;
};

// Hands out the recording hosts; the test keeps pointers to tune them.
class TRecordingFactory : public ISubsystemFactory {
public:
  explicit TRecordingFactory(bool& exitFlag) : exitFlag_(exitFlag) {}
  std::unique_ptr<IDataHost> CreateData() override { return std::make_unique<TRecordingData>(log); }
  void CreateValues() override {}
  void FreeValues() override {}
  void InitSound(bool) override {}
  std::unique_ptr<ISceneHost> CreateScene() override { return std::make_unique<TRecordingScene>(log); }
  bool DumpVariables(const std::string&) override { return true; }
  std::unique_ptr<IProjectHost> CreateProject(const std::vector<std::string>&, std::function<void()>) override {
    auto p = std::make_unique<TRecordingProject>(log, exitFlag_);
    p->toolbar = toolbar;
    project = p.get();
    return p;
  }
  std::unique_ptr<IMediaHost> CreateMedia(TFormView&, IWindow&, const IProjectHost*, ISceneHost&) override {
    auto m = std::make_unique<TRecordingMedia>(log);
    media = m.get();
    return m;
  }

  CallLog log;
  bool toolbar = false;
  TRecordingProject* project = nullptr;
  TRecordingMedia* media = nullptr;

private:
  bool& exitFlag_;
};

}  // namespace kivo::testing
