// Wiring of the player's subsystems.
#include "app/player_subsystems.h"

#include "app/media_host.h"
#include "app/neutral_hosts.h"
#include "app/vfs_data_host.h"

namespace kivo {

std::unique_ptr<IDataHost> TPlayerSubsystems::CreateData() { return std::make_unique<TVfsDataHost>(); }
void TPlayerSubsystems::CreateValues() {}
void TPlayerSubsystems::FreeValues() {}
void TPlayerSubsystems::InitSound(bool) {}
std::unique_ptr<ISceneHost> TPlayerSubsystems::CreateScene() { return std::make_unique<TNeutralScene>(); }
std::unique_ptr<IProjectHost> TPlayerSubsystems::CreateProject() { return std::make_unique<TNeutralProject>(); }
std::unique_ptr<IMediaHost> TPlayerSubsystems::CreateMedia(IWindow& window, const IProjectHost* project,
                                                           ISceneHost& scene) {
  if (!project) return std::make_unique<TMediaLayerHost>(window, scene, 0, 0, -1, -1);
  return std::make_unique<TMediaLayerHost>(window, scene, project->ScreenWidth(), project->ScreenHeight(),
                                           project->FullScreenWidthHint(), project->FullScreenHeightHint());
}

}  // namespace kivo
