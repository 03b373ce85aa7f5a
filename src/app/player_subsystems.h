// The subsystems the player runs with: each real subsystem behind its host interface, neutral
// stand-ins for those not plugged in yet.
#pragma once

#include "app/hosts.h"

namespace kivo {

class TPlayerSubsystems : public ISubsystemFactory {
public:
  std::unique_ptr<IDataHost> CreateData() override;
  void CreateValues() override;
  void FreeValues() override;
  void InitSound(bool directSound) override;
  std::unique_ptr<ISceneHost> CreateScene() override;
  std::unique_ptr<IProjectHost> CreateProject() override;
  std::unique_ptr<IMediaHost> CreateMedia(IWindow& window, const IProjectHost* project, ISceneHost& scene) override;
};

}  // namespace kivo
