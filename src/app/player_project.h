// The project behind the main window's project host, and the project's side of the system
// variables (screen size, title, the frame counters).
#pragma once

#include "app/hosts.h"
#include "engine/project.h"
#include "support/frame_timing.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"

namespace kivo {

class TPlayerProject : public IProjectHost {
public:
  TPlayerProject(TSysFuncMan& funcs, TTimerList& events, TProjectContext context)
      : vars_(funcs.Vars()), previous_(vars_.Hosts.Project), project_(funcs, events, std::move(context)) {
    vars_.Hosts.Project = &systemView_;
  }
  ~TPlayerProject() override {
    if (vars_.Hosts.Project == &systemView_) vars_.Hosts.Project = previous_;
  }

  int ScreenWidth() const override { return project_.Setting().screenWidth; }
  int ScreenHeight() const override { return project_.Setting().screenHeight; }
  int FullScreenWidthHint() const override { return project_.Setting().fullScreenWidthHint; }
  int FullScreenHeightHint() const override { return project_.Setting().fullScreenHeightHint; }
  std::string Title() const override { return project_.Title(); }
  bool ToolbarVisible() const override { return project_.Setting().toolbarVisible; }
  bool PauseWhenInactive() const override { return project_.Setting().pauseWhenInactive; }
  void RunScript() override { project_.Run(); }
  bool HandlePendingLoadSave() override { return project_.HandlePendingLoadSave(); }

private:
  // What the system variables read of the project and the frame loop.
  struct TSystemView : TProjectHost {
    explicit TSystemView(const TProject& p) : project(p) {}
    int ScreenWidth() override { return project.Setting().screenWidth; }
    int ScreenHeight() override { return project.Setting().screenHeight; }
    std::string Title() override { return project.Title(); }
    int TickCount() override { return FrameTiming().totalTime; }
    int UpdateCount() override { return FrameTiming().frameCounter; }
    bool SoundOn() override { return soundOn; }
    void SetSoundOn(bool value) override { soundOn = value; }
    const TProject& project;
    bool soundOn = true;
  };

  TParamCollection& vars_;
  TProjectHost* previous_;
  TProject project_;
  TSystemView systemView_{project_};
};

}  // namespace kivo
