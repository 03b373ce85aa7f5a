// MediaInit / MediaFinal, the media singletons and the host callbacks handed to the plug-in.
#include "media/media_layer.h"

#include <memory>
#include <mutex>

#include "media/plugin/plugin_library.h"
#include "platform/trace.h"
#include "platform/window.h"
#include "support/stream.h"

namespace kivo {

namespace {

struct TMediaLayer {
  IWindow* window = nullptr;
  std::function<void()> frame;
  void* windowHandle = nullptr;
  void* panelHandle = nullptr;
  void* soundDevice = nullptr;
  KivoHostCallbacks host{};
  std::unique_ptr<TScreenManager> screen;
  std::unique_ptr<TVideoManager> video;
  std::unique_ptr<TWmpManager> wmp;
  std::unique_ptr<TOggManager> ogg;
  std::unique_ptr<TCddaManager> cdda;
  std::unique_ptr<TMidiManager> midi;
};

TMediaLayer layer;
std::mutex streamLock;

int64_t StreamSize(void* s) {
  std::lock_guard lock(streamLock);
  return s ? static_cast<TStream*>(s)->Size() : 0;
}

int32_t StreamRead(void* s, void* buffer, int32_t count) {
  std::lock_guard lock(streamLock);
  if (!s || !buffer || count <= 0) return 0;
  return static_cast<int32_t>(static_cast<TStream*>(s)->Read(buffer, count));
}

int64_t StreamPosition(void* s) {
  std::lock_guard lock(streamLock);
  return s ? static_cast<TStream*>(s)->Position() : 0;
}

int64_t StreamSeek(void* s, int64_t position) {
  std::lock_guard lock(streamLock);
  return s ? static_cast<TStream*>(s)->Seek(position, SeekOrigin::Begin) : 0;
}

// The floating-point control word is the default one on this platform; nothing to keep.
void KeepFpu() {}

// From the plug-in's threads: queued for the UI thread as the window messages were.
void PostPluginMessage(uint32_t message, intptr_t wParam, intptr_t lParam) {
  if (IWindow* window = layer.window) window->Post([=] { DispatchPluginMessage(message, wParam, lParam); });
}

}  // namespace

void MediaInit(IWindow& window, int screenWidth, int fullWidthHint, int fullHeightHint, int screenHeight) {
  TTrace::Label("MediaInit:7");
  layer.window = &window;
  layer.windowHandle = &window;
  layer.panelHandle = &window;
  layer.host = KivoHostCallbacks{&layer.windowHandle, &layer.panelHandle, nullptr, &layer.soundDevice,
                                 StreamSize, StreamRead, StreamPosition, StreamSeek, KeepFpu, KeepFpu, 0,
                                 PostPluginMessage};
  TTrace::Label("MediaInit:8");
  if (KivoPlugin().kivoInit) KivoPlugin().kivoInit(&layer.host);
  TTrace::Label("MediaInit:9");
  if (KivoPlugin().kivoOggmanSetUseThread) KivoPlugin().kivoOggmanSetUseThread(1);
  TTrace::Label("MediaInit:10");
  if (screenWidth > 0 && screenHeight > 0)
    layer.screen = std::make_unique<TScreenManager>(window, screenWidth, screenHeight, fullWidthHint, fullHeightHint);
  TTrace::Label("MediaInit:11");
  layer.video = std::make_unique<TVideoManager>();
  TTrace::Label("MediaInit:12");
  layer.wmp = std::make_unique<TWmpManager>();
  TTrace::Label("MediaInit:13");
  layer.ogg = std::make_unique<TOggManager>();
  TTrace::Label("MediaInit:14");
  layer.cdda = std::make_unique<TCddaManager>();
  TTrace::Label("MediaInit:15");
  layer.midi = std::make_unique<TMidiManager>();
  TTrace::Label("MediaInit:16");
}

void MediaFinal() {
  TTrace::Label("ScreenMan.Free");
  layer.screen.reset();
  TTrace::Label("VideoMan.Free");
  layer.video.reset();
  // The wave manager's slot is never filled; its label keeps the shutdown trace complete.
  TTrace::Label("WaveMan.Free");
  TTrace::Label("WmpMan.Free");
  layer.wmp.reset();
  TTrace::Label("OggMan.Free");
  layer.ogg.reset();
  TTrace::Label("CddaMan.Free");
  layer.cdda.reset();
  TTrace::Label("MidiMan.Free");
  layer.midi.reset();
  if (KivoPlugin().kivoFinal) KivoPlugin().kivoFinal();
  layer.windowHandle = layer.panelHandle = nullptr;
  layer.window = nullptr;
}

TScreenManager* ScreenMan() { return layer.screen.get(); }
TVideoManager* VideoMan() { return layer.video.get(); }
TWmpManager* WmpMan() { return layer.wmp.get(); }
TOggManager* OggMan() { return layer.ogg.get(); }
TCddaManager* CddaMan() { return layer.cdda.get(); }
TMidiManager* MidiMan() { return layer.midi.get(); }

int DisplayBitCount() { return layer.screen ? layer.screen->BitCount() : 32; }

void PauseAllMedia() {
  for (TMediaManager* m : std::initializer_list<TMediaManager*>{VideoMan(), WmpMan(), OggMan(), CddaMan(), MidiMan()})
    if (m) m->PauseAll();
}

void ResumeAllMedia() {
  for (TMediaManager* m : std::initializer_list<TMediaManager*>{VideoMan(), WmpMan(), OggMan(), CddaMan(), MidiMan()})
    if (m) m->ResumeAll();
}

void SetPluginFrameHandler(std::function<void()> frame) { layer.frame = std::move(frame); }

void DispatchPluginMessage(uint32_t message, intptr_t wParam, intptr_t lParam) {
  TKivoPluginLibrary& plugin = KivoPlugin();
  switch (message) {
    case kPluginWmpMessageFirst:
    case kPluginWmpMessageFirst + 1:
    case kPluginWmpMessageFirst + 3:
      if (plugin.kivoWmpmanProcessEvent) plugin.kivoWmpmanProcessEvent(layer.windowHandle, message, wParam, lParam);
      break;
    case kPluginVideoMessage:
      if (plugin.kivoVidmanProcessEvent) plugin.kivoVidmanProcessEvent(layer.windowHandle, message, wParam, lParam);
      break;
    case kPluginFrameMessage:
      if (layer.frame) layer.frame();
      break;
    default:
      break;
  }
}

void* PluginStream(TStream& stream) { return &stream; }

}  // namespace kivo
