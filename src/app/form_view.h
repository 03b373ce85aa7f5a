// TFormView, the main window: start-up of every process-wide object, the frame tick, full-screen
// switching, input forwarding, activation, the exit confirmation and the shutdown order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/game_settings.h"
#include "app/hosts.h"
#include "app/input_script.h"
#include "app/loop_thread.h"
#include "app/options.h"
#include "app/toolbar.h"
#include "app/ui_handoff.h"
#include "platform/window.h"

namespace kivo {

class TFormView : public IWindowListener {
public:
  TFormView(IWindow& window, ISubsystemFactory& factory, IDataHost& data, TOptions options);
  ~TFormView() override;

  // Creation: FormCreate with InitSystem inside. Afterwards ExitRequested() tells whether the
  // window closes at once.
  void FormCreate();
  bool ExitRequested() const { return timing_.exitRequested; }
  // Starts the frame thread (the end of InitSystem) and runs the message loop until the window closes.
  void Run();

  void FrameTick();
  void SetFullScreen(bool on);
  void ReapplyFullScreenMode();
  void ExitConfirmation();
  void FormClose();
  // Moves the mouse cursor to a panel coordinate on one axis, keeping the other.
  void SetCursorX(int x);
  void SetCursorY(int y);

  // Panel coordinates of the scene inside the client area.
  TPoint PanelOrigin() const { return {panelLeft_, panelTop_}; }
  bool FullScreen() const { return fullScreen_; }
  bool Active() const { return active_; }
  bool DockVisible() const { return dockVisible_; }
  int TickCount() const { return ticks_; }

  // Input as it reaches the window and the panel.
  void OnKeyDown(int vk, bool repeat) override;
  void OnKeyUp(int vk) override;
  void OnMouseDown(MouseButton button, int x, int y) override;
  void OnMouseUp(MouseButton button, int x, int y) override;
  void OnMouseMove(int x, int y) override;
  void OnWheel(int delta) override;
  void OnActivate(bool active) override;
  void OnCloseRequest() override;
  void OnPaint() override;

  void PanelKeyDown(int vk);
  void PanelMouseDown(MouseButton button, int x, int y);
  void PanelMouseUp();
  void PanelMouseMove(int x, int y);

  void ApplicationActivate();
  void ApplicationDeactivate();

private:
  void InitSystem();
  void RegisterDataSources();
  void LayoutPanel();
  void SetWindowedLayout();
  void ApplyToolbarRule(int mouseY, bool panelFillsScreen);
  void DrawToolbar();
  void OnLoopTick();
  void ApplyInputEvents();
  void FinishRun();
  int ClientHeightFor(int sceneHeight) const;

  IWindow& window_;
  ISubsystemFactory& factory_;
  IDataHost& data_;
  TOptions options_;
  TFrameTiming& timing_;
  TGameSettings settings_;

  std::unique_ptr<ISceneHost> scene_;
  std::unique_ptr<IProjectHost> project_;
  std::unique_ptr<IMediaHost> media_;
  std::unique_ptr<ILoopTiming> loopTiming_;
  std::unique_ptr<TUiHandoff> handoff_;
  std::unique_ptr<TLoopThread> loopThread_;
  TInputScript inputScript_;
  std::vector<TInputEvent> pendingScreenshots_;

  TToolbar toolbar_;
  TToolbar::Button pressedButton_ = TToolbar::Button::None;
  bool dockVisible_ = false;       // the project wants the toolbar
  bool toolbarShown_ = false;      // it is on screen now
  TPoint windowedPosition_{};  // where the window stood before full screen
  int panelLeft_ = 0;
  int panelTop_ = 0;
  bool active_ = true;
  bool fullScreen_ = false;
  bool altDown_ = false;
  bool closed_ = false;
  int skipCounter_ = 0;
  int renderPhase_ = 0;
  int ticks_ = 0;
};

}  // namespace kivo
