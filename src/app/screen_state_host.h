// The screen variables' view of the main window and the screen manager: the full-screen switch
// and the display modes.
#pragma once

#include "values/system_hosts.h"

namespace kivo {

class IMediaHost;
class TFormView;

class TScreenStateHost : public TScreenHost {
public:
  // Both must outlive the variables that read through this host.
  TScreenStateHost(TFormView& form, IMediaHost& media) : form_(form), media_(media) {}

  bool FullScreen() override;
  void SetFullScreen(bool value) override;
  int DisplayModeCount() override;
  int DisplayModeIndex() override;
  void SetDisplayModeIndex(int index) override;

private:
  TFormView& form_;
  IMediaHost& media_;
};

}  // namespace kivo
