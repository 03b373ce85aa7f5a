// Wiring of the player's subsystems.
#include "app/player_subsystems.h"

#include "app/media_host.h"
#include "app/neutral_hosts.h"
#include "app/player_project.h"
#include "app/screen_state_host.h"
#include "app/vfs_data_host.h"
#include "platform/paths.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"
#include "values/variable_dump.h"

namespace kivo {

TPlayerSubsystems::TPlayerSubsystems() = default;
TPlayerSubsystems::~TPlayerSubsystems() = default;

std::unique_ptr<IDataHost> TPlayerSubsystems::CreateData() { return std::make_unique<TVfsDataHost>(); }

void TPlayerSubsystems::CreateValues() {
  vars_ = std::make_unique<TParamCollection>();
  funcs_ = std::make_unique<TSysFuncMan>(*vars_);
}

void TPlayerSubsystems::FreeValues() {
  funcs_.reset();
  vars_.reset();
  screen_.reset();
}

bool TPlayerSubsystems::DumpVariables(const std::string& path) { return vars_ && WriteVariableDump(*vars_, path); }

// The sound device comes with the mixer; the player runs silent until then.
void TPlayerSubsystems::InitSound(bool) {}

std::unique_ptr<ISceneHost> TPlayerSubsystems::CreateScene() { return std::make_unique<TNeutralScene>(); }

std::unique_ptr<IProjectHost> TPlayerSubsystems::CreateProject(const std::vector<std::string>& arguments,
                                                              std::function<void()> requestClose) {
  return std::make_unique<TPlayerProject>(*funcs_, events_,
                                        TProjectContext{arguments, ProgramFolder(), std::move(requestClose)});
}

std::unique_ptr<IMediaHost> TPlayerSubsystems::CreateMedia(TFormView& form, IWindow& window,
                                                           const IProjectHost* project, ISceneHost& scene) {
  auto media = project ? std::make_unique<TMediaLayerHost>(window, scene, project->ScreenWidth(),
                                                           project->ScreenHeight(), project->FullScreenWidthHint(),
                                                           project->FullScreenHeightHint())
                       : std::make_unique<TMediaLayerHost>(window, scene, 0, 0, -1, -1);
  // The main window frees the variables (FreeValues) before the media layer, so nothing reads
  // through this host once the media layer has gone.
  screen_ = std::make_unique<TScreenStateHost>(form, *media);
  vars_->Hosts.Screen = screen_.get();
  return media;
}

}  // namespace kivo
