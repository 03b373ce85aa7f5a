// TProject: the scenario's root — reads the project file, checks the installation, defines the
// initial variables, owns the call manager and runs the start and exit pages.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/call_man.h"
#include "engine/project_setting.h"
#include "platform/geometry.h"

namespace kivo {

class TParamCollection;
class TSysFuncMan;

// How the project was started and how it reaches the main window.
struct TProjectContext {
  std::vector<std::string> arguments;  // the original command line
  std::string programFolder;           // with a trailing "/"
  std::function<void()> requestClose;  // Terminate and a refused disc close the window this way
};

class TProject : public TCallManHooks {
public:
  // Construction in its order; on return the exit-requested flag is clear only when the project
  // loaded and its start page started. A project file of an unsupported version raises.
  TProject(TSysFuncMan& funcs, TTimerList& events, TProjectContext context);
  // Runs the exit page once.
  ~TProject() override;

  const TProjectSetting& Setting() const { return setting_; }
  const std::string& Title() const { return title_; }
  TCallMan* CallMan() const { return callMan_.get(); }
  // The zoom-in transition's default centre: half the screen.
  TPoint ZoomInCentre() const { return {setting_.screenWidth / 2, setting_.screenHeight / 2}; }

  // Per frame: the call manager's run.
  void Run();
  // Per frame after the scene update: the pending load or save; true when a game was loaded.
  bool HandlePendingLoadSave();
  void RequestLoad(int32_t slot) { pendingLoad_ = slot; }

  std::string SlotTitle(int32_t slot) const;
  void SetSlotTitle(int32_t slot, const std::string& title);

  // Where save.dat lives: the data folder given on the command line, the program folder when it
  // is writable, else a folder of the user's named after the title.
  std::string SaveFilePath();

  // TCallManHooks
  bool FileExistsOrAskForDisc(const std::string& name) override;
  void RequestClose() override;

private:
  bool InstallCheck();
  bool FindInstalledDisc(const std::string& title);
  void CopySaveEntries();
  void DefineInitialVariables();

  TSysFuncMan& funcs_;
  TTimerList& events_;
  TProjectContext context_;
  TProjectSetting setting_;
  std::string title_;
  std::unique_ptr<TCallMan> callMan_;
  int32_t pendingLoad_ = -1;
  int32_t pendingSave_ = -1;
  std::vector<std::pair<int32_t, std::string>> slotTitles_;
  std::string saveFilePath_;
};

}  // namespace kivo
