// The subsystems the player runs with: each real subsystem behind its host interface, neutral
// stand-ins for those not plugged in yet.
#pragma once

#include <memory>

#include "app/hosts.h"
#include "engine/event_list.h"

namespace kivo {

class TParamCollection;
class TScreenStateHost;
class TSysFuncMan;

class TPlayerSubsystems : public ISubsystemFactory {
public:
  TPlayerSubsystems();
  ~TPlayerSubsystems() override;

  std::unique_ptr<IDataHost> CreateData() override;
  void CreateValues() override;
  void FreeValues() override;
  bool DumpVariables(const std::string& path) override;
  void InitSound(bool directSound) override;
  std::unique_ptr<ISceneHost> CreateScene() override;
  std::unique_ptr<IProjectHost> CreateProject(const std::vector<std::string>& arguments,
                                              std::function<void()> requestClose) override;
  // Also plugs the screen variables into the main window and the new media layer.
  std::unique_ptr<IMediaHost> CreateMedia(TFormView& form, IWindow& window, const IProjectHost* project,
                                          ISceneHost& scene) override;

private:
  std::unique_ptr<TParamCollection> vars_;
  std::unique_ptr<TSysFuncMan> funcs_;
  std::unique_ptr<TScreenStateHost> screen_;
  TTimerList events_;  // the scene root's event list, until the scene holds it
};

}  // namespace kivo
