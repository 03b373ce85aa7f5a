// The project behind the main window's project host.
#pragma once

#include "app/hosts.h"
#include "engine/project.h"

namespace kivo {

class TPlayerProject : public IProjectHost {
public:
  TPlayerProject(TSysFuncMan& funcs, TTimerList& events, TProjectContext context)
      : project_(funcs, events, std::move(context)) {}

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
  TProject project_;
};

}  // namespace kivo
