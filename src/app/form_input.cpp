// The main window's input forwarding to the scene, the toolbar's buttons, and activation.
#include "app/form_view.h"

namespace kivo {

namespace {
constexpr int kVkReturn = 0x0D;
constexpr int kVkMenu = 0x12;  // Alt
}  // namespace

void TFormView::OnKeyDown(int vk, bool repeat) {
  if (vk == kVkMenu) altDown_ = true;
  if (vk == kVkReturn && altDown_ && !repeat) {
    SetFullScreen(!fullScreen_);
    return;
  }
  if (repeat || !active_) return;
  PanelKeyDown(vk);
}

void TFormView::PanelKeyDown(int vk) {
  if (vk < 0 || vk >= 256 || !scene_) return;
  scene_->SetKeyState(vk, true);
  scene_->KeyPress(vk);
}

void TFormView::OnKeyUp(int vk) {
  if (vk == kVkMenu) altDown_ = false;
  if (vk < 0 || vk >= 256 || !scene_) return;
  scene_->SetKeyState(vk, false);
}

void TFormView::OnMouseDown(MouseButton button, int x, int y) {
  if (toolbarShown_ && y < TToolbar::kDockHeight) {
    if (button == MouseButton::Left) {
      pressedButton_ = TToolbar::HitTest(x, y);
      DrawToolbar();
      window_.ShowClient();
    }
    return;
  }
  // The black strips around the panel are the window's, not the scene's.
  if (!scene_ || !TRect::FromSize(panelLeft_, panelTop_, scene_->Width(), scene_->Height()).Contains(x, y)) return;
  PanelMouseDown(button, x - panelLeft_, y - panelTop_);
}

void TFormView::OnMouseUp(MouseButton button, int x, int y) {
  if (pressedButton_ != TToolbar::Button::None && button == MouseButton::Left) {
    TToolbar::Button pressed = pressedButton_;
    pressedButton_ = TToolbar::Button::None;
    DrawToolbar();
    window_.ShowClient();
    if (TToolbar::HitTest(x, y) == pressed) {
      if (pressed == TToolbar::Button::Exit) ExitConfirmation();
      if (pressed == TToolbar::Button::ScreenSwitch) SetFullScreen(!fullScreen_);
    }
    return;
  }
  PanelMouseUp();
}

void TFormView::OnMouseMove(int x, int y) {
  if (!scene_) return;
  TRect panel = TRect::FromSize(panelLeft_, panelTop_, scene_->Width(), scene_->Height());
  if (panel.Contains(x, y)) {
    PanelMouseMove(x - panelLeft_, y - panelTop_);
  } else if (fullScreen_ && scene_->Height() < window_.ClientHeight()) {
    ApplyToolbarRule(y, false);
  }
}

void TFormView::PanelMouseDown(MouseButton button, int, int) {
  if (!active_ || !scene_) return;
  bool left = button == MouseButton::Left, right = button == MouseButton::Right;
  scene_->SetButtonsDown(0, left, right);
  scene_->SetButtonsDown(1, left, right);
  scene_->SetClicked(scene_->CurrentBase(), left, right);
}

void TFormView::PanelMouseUp() {
  if (!scene_) return;
  scene_->SetButtonsDown(0, false, false);
  scene_->SetButtonsDown(1, false, false);
}

void TFormView::PanelMouseMove(int x, int y) {
  if (!scene_) return;
  scene_->SetMousePosition(0, x, y);
  scene_->SetMousePosition(1, x, y);
  if (fullScreen_ && scene_->Height() == window_.ClientHeight()) ApplyToolbarRule(y, true);
}

void TFormView::ApplyToolbarRule(int mouseY, bool) {
  if (!dockVisible_) return;
  bool show = mouseY == 0;
  if (show == toolbarShown_) return;
  toolbarShown_ = show;
  if (show)
    DrawToolbar();
  else
    OnPaint();
  window_.ShowClient();
}

void TFormView::SetCursorX(int x) {
  TPoint p = window_.CursorPosition();
  window_.SetCursorPosition({panelLeft_ + x, p.y});
}

void TFormView::SetCursorY(int y) {
  TPoint p = window_.CursorPosition();
  window_.SetCursorPosition({p.x, panelTop_ + y});
}

void TFormView::OnWheel(int delta) {
  if (!scene_) return;
  scene_->SetWheel(scene_->CurrentBase(), delta > 0, delta < 0);
}

void TFormView::OnActivate(bool active) {
  if (active)
    ApplicationActivate();
  else
    ApplicationDeactivate();
}

void TFormView::ApplicationActivate() {
  bool pauses = !project_ || project_->PauseWhenInactive();
  if (pauses) {
    if (loopThread_) loopThread_->Resume();
    if (!scene_) return;
    active_ = true;
    timing_.lastTickTime = loopTiming_ ? loopTiming_->Now() : 0;
    if (media_) {
      media_->ResumeVideo();
      media_->ResumeAll();
    }
    return;
  }
  active_ = true;
  timing_.lastTickTime = loopTiming_ ? loopTiming_->Now() : 0;
}

void TFormView::ApplicationDeactivate() {
  altDown_ = false;  // its release goes to another window
  if (project_ && !project_->PauseWhenInactive()) return;
  if (loopThread_) loopThread_->Suspend();
  if (!scene_) return;
  active_ = false;
  if (media_) {
    media_->SuspendVideo();
    media_->PauseAll();
  }
  scene_->ReleaseInput();
}

}  // namespace kivo
