// The screen variables read and switch the main window's display through the media layer.
#include "app/screen_state_host.h"

#include "app/form_view.h"

namespace kivo {

bool TScreenStateHost::FullScreen() { return form_.FullScreen(); }

void TScreenStateHost::SetFullScreen(bool value) { form_.SetFullScreen(value); }

int TScreenStateHost::DisplayModeCount() { return media_.DisplayModeCount(); }

// The mode full screen uses, not the one on screen now: a script chooses it before switching.
int TScreenStateHost::DisplayModeIndex() { return media_.ChosenModeIndex(); }

void TScreenStateHost::SetDisplayModeIndex(int index) {
  media_.SetChosenModeIndex(index);
  form_.ReapplyFullScreenMode();
}

}  // namespace kivo
