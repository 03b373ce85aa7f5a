// Media layer calls of the frame tick, display switching and activation.
#include "app/media_host.h"

#include "media/media_layer.h"
#include "media/plugin/plugin_library.h"

namespace kivo {

TMediaLayerHost::TMediaLayerHost(IWindow& window, ISceneHost& scene, int width, int height, int fullWidthHint,
                                 int fullHeightHint)
    : scene_(scene) {
  MediaInit(window, width, fullWidthHint, fullHeightHint, height);
}

TMediaLayerHost::~TMediaLayerHost() {
  SetPluginFrameHandler({});
  MediaFinal();
}

void TMediaLayerHost::SetFrameHandler(std::function<void()> frame) { SetPluginFrameHandler(std::move(frame)); }

void TMediaLayerHost::OggUpdate() {
  if (KivoPlugin().kivoOggmanUpdate) KivoPlugin().kivoOggmanUpdate();
}

void TMediaLayerHost::Present(TPoint panelOrigin) {
  if (TScreenManager* screen = ScreenMan()) screen->Present(scene_, panelOrigin);
}

void TMediaLayerHost::UpdateVideoSurfaces() {
  if (TVideoManager* video = VideoMan()) video->Update();
}

bool TMediaLayerHost::HasFullScreenMode() const { return ScreenMan() && ScreenMan()->ChosenIndex() >= 0; }
int TMediaLayerHost::DisplayModeCount() const {
  return ScreenMan() ? static_cast<int>(ScreenMan()->Modes().size()) : 0;
}
int TMediaLayerHost::ChosenModeIndex() const { return ScreenMan() ? ScreenMan()->ChosenIndex() : -1; }

void TMediaLayerHost::SetChosenModeIndex(int index) {
  if (TScreenManager* screen = ScreenMan()) screen->SetChosenIndex(index);
}
int TMediaLayerHost::CurrentModeIndex() const { return ScreenMan() ? ScreenMan()->CurrentIndex() : -1; }

void TMediaLayerHost::SetModeIndex(int index) {
  if (TScreenManager* screen = ScreenMan()) screen->SetModeIndex(index);
}

void TMediaLayerHost::ReleaseSurfaces() {
  if (TScreenManager* screen = ScreenMan()) screen->ReleaseSurfaces();
}

void TMediaLayerHost::SuspendVideo() {
  if (TVideoManager* video = VideoMan()) video->Suspend();
}

void TMediaLayerHost::ResumeVideo() {
  if (TVideoManager* video = VideoMan()) video->Resume();
}

void TMediaLayerHost::PauseAll() { PauseAllMedia(); }
void TMediaLayerHost::ResumeAll() { ResumeAllMedia(); }

bool TMediaLayerHost::WriteScreenshot(const std::string& path) {
  TScreenManager* screen = ScreenMan();
  return screen && screen->SaveScreenshot(path);
}

}  // namespace kivo
