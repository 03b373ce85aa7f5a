// Media managers: pause all / resume all with marks, the enabled flag, routing of sound files,
// the CD mixer level, the order of MediaInit / MediaFinal, and the plug-in's messages.
#include <gtest/gtest.h>

#include <thread>

#include "media/media_layer.h"
#include "media/plugin/plugin_library.h"
#include "platform/headless/headless_window.h"
#include "platform/trace.h"
#include "testkit/null_window_listener.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

// An item that plays in memory, so that the managers' bookkeeping can be watched.
class TFakeItem : public TDMediaItem {
public:
  using TDMediaItem::TDMediaItem;
  bool playing = false, paused = false, ended = false;
  int plays = 0, pauses = 0, position = -1;
  bool IsPlaying() override { return playing; }
  bool IsPaused() override { return paused; }
  void Pause() override { paused = true, ++pauses; }

protected:
  void DoPlay() override { playing = true, paused = false, ++plays; }
  bool DoIsEnded() override { return ended; }
  void DoSetPosition(int ms) override { position = ms; }
};

class TFakeManager : public TOggManager {
public:
  TFakeItem& Add() { return static_cast<TFakeItem&>(*AddItem("a.ogg")); }

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string&) override { return std::make_unique<TFakeItem>(this); }
};

TEST(MediaManager, PauseAllMarksOnlyPlayingItemsAndResumeAllPlaysThem) {
  TFakeManager m;
  TFakeItem& playing = m.Add();
  TFakeItem& paused = m.Add();
  TFakeItem& ended = m.Add();
  TFakeItem& idle = m.Add();
  playing.Play();
  paused.Play(), paused.Pause();
  ended.Play(), ended.ended = true;
  idle.Mark = true;  // a stale mark is cleared
  m.PauseAll();
  EXPECT_TRUE(m.Paused());
  EXPECT_TRUE(playing.Mark);
  EXPECT_TRUE(playing.paused);
  EXPECT_FALSE(paused.Mark);
  EXPECT_FALSE(ended.Mark);
  EXPECT_FALSE(idle.Mark);
  // A second pause does nothing, so one resume brings back what the first paused.
  m.PauseAll();
  EXPECT_EQ(playing.pauses, 1);
  m.ResumeAll();
  EXPECT_FALSE(m.Paused());
  EXPECT_EQ(playing.plays, 2);
  EXPECT_FALSE(playing.Mark);
  EXPECT_EQ(paused.plays, 1) << "paused by the script, stays paused";
  m.ResumeAll();
  EXPECT_EQ(playing.plays, 2) << "resume without pause does nothing";
}

TEST(MediaManager, DisablingPausesAndEnablingResumes) {
  TFakeManager m;
  TFakeItem& a = m.Add();
  TFakeItem& b = m.Add();
  a.Play(), b.Play();
  m.SetEnabled(false);
  EXPECT_TRUE(a.paused && b.paused);
  EXPECT_FALSE(m.Enabled());
  m.PauseAll();  // disabled: nothing
  TFakeItem& c = m.Add();
  c.Play();
  EXPECT_EQ(c.plays, 0) << "play on a disabled manager is only recorded";
  EXPECT_TRUE(c.PlayRequested());
  m.SetEnabled(true);
  EXPECT_EQ(a.plays, 2);
  EXPECT_EQ(b.plays, 2);
  m.RemoveItem(&c);
  EXPECT_EQ(m.Items().size(), 2u);
}

TEST(MediaManager, VideoPausesWithoutAnEnabledFlag) {
  TVideoManager v;
  v.SetEnabled(false);
  EXPECT_TRUE(v.Enabled());
  v.PauseAll();
  EXPECT_TRUE(v.Paused());
  v.ResumeAll();
  EXPECT_FALSE(v.Paused());
  EXPECT_NE(v.AddItem("movie.mpg"), nullptr);
  v.Update();
}

TEST(MediaManager, EndedIsLatchedUntilThePositionIsSet) {
  TFakeManager m;
  TFakeItem& item = m.Add();
  item.ended = true;
  EXPECT_TRUE(item.IsEnded());
  item.ended = false;
  EXPECT_TRUE(item.IsEnded());
  item.SetPosition(-20);
  EXPECT_EQ(item.position, 0);
  EXPECT_FALSE(item.IsEnded());
}

TEST(MediaManager, SoundRouting) {
  struct {
    const char* name;
    TSoundRoute route;
    int track;
  } const cases[] = {
      {"bgm\\song.MID", TSoundRoute::Midi, -1}, {"a.sgt", TSoundRoute::Midi, -1},  {"voice.WMA", TSoundRoute::Wmp, -1},
      {"x.asf", TSoundRoute::Wmp, -1},          {"x.wmv", TSoundRoute::Wmp, -1},    {"se.ogg", TSoundRoute::Ogg, -1},
      {"se.Wav", TSoundRoute::Ogg, -1},         {"CD_02", TSoundRoute::Cdda, 2},    {"cd_12x", TSoundRoute::Cdda, 12},
      {"CD_03.ogg", TSoundRoute::Ogg, -1},      {"music.mp3", TSoundRoute::None, -1}, {"dir.mid\\noext", TSoundRoute::None, -1},
  };
  for (const auto& c : cases) {
    int track = -1;
    EXPECT_EQ(RouteSound(c.name, &track), c.route) << c.name;
    EXPECT_EQ(track, c.track) << c.name;
  }
}

TEST(MediaManager, CdVolumeToMixerLevel) {
  EXPECT_EQ(TCddaManager::MixerLevel(-6000, 65535), 0);
  EXPECT_EQ(TCddaManager::MixerLevel(-2500, 40000), 20000);
  EXPECT_EQ(TCddaManager::MixerLevel(0, 40000), 40000);
  EXPECT_EQ(TMidiManager::OutputDeviceNames({"FluidSynth"}).size(), 2u);
}

TEST(MediaLayer, InitAndFinalInOrder) {
  testkit::TempFolder folder;
  ASSERT_TRUE(TTrace::OpenFile(folder.File("trace.txt")));
  THeadlessWindow window;
  MediaInit(window, 640, -1, -1, 480);
  ASSERT_NE(ScreenMan(), nullptr);
  EXPECT_EQ(DisplayBitCount(), 32);
  ASSERT_NE(OggMan(), nullptr);
  ASSERT_NE(MidiMan(), nullptr);
  PauseAllMedia();
  EXPECT_TRUE(OggMan()->Paused());
  ResumeAllMedia();
  EXPECT_FALSE(OggMan()->Paused());
  MediaFinal();
  EXPECT_EQ(ScreenMan(), nullptr);
  EXPECT_EQ(OggMan(), nullptr);
  MediaInit(window, 0, -1, -1, 480);
  EXPECT_EQ(ScreenMan(), nullptr) << "no screen manager for a scene of size 0";
  EXPECT_NE(VideoMan(), nullptr);
  EXPECT_EQ(DisplayBitCount(), 32);
  MediaFinal();
  TTrace::Close();
  const std::string trace = folder.Read("trace.txt");
  const char* order[] = {"MediaInit:7",  "MediaInit:8",   "MediaInit:10",  "MediaInit:16", "ScreenMan.Free", "VideoMan.Free",
                         "WaveMan.Free", "WmpMan.Free",   "OggMan.Free",   "CddaMan.Free", "MidiMan.Free"};
  size_t at = 0;
  for (const char* label : order) {
    const size_t found = trace.find(label, at);
    ASSERT_NE(found, std::string::npos) << label << " after position " << at << " in\n" << trace;
    at = found;
  }
}

// What the stand-in plug-in entry points saw.
const KivoHostCallbacks* pluginHost = nullptr;
std::vector<std::string> pluginCalls;

TEST(MediaLayer, PluginMessagesReachTheirFamilyOnTheUiThread) {
  TKivoPluginLibrary& plugin = KivoPlugin();
  auto init = plugin.kivoInit;
  auto wmp = plugin.kivoWmpmanProcessEvent;
  auto video = plugin.kivoVidmanProcessEvent;
  plugin.kivoInit = [](const KivoHostCallbacks* host) -> int32_t {
    pluginHost = host;
    return 1;
  };
  plugin.kivoWmpmanProcessEvent = [](void*, uint32_t message, intptr_t w, intptr_t l) -> int32_t {
    pluginCalls.push_back("wmp " + std::to_string(message) + " " + std::to_string(w) + " " + std::to_string(l));
    return 0;
  };
  plugin.kivoVidmanProcessEvent = [](void*, uint32_t message, intptr_t, intptr_t) -> int32_t {
    pluginCalls.push_back("video " + std::to_string(message));
    return 0;
  };
  THeadlessWindow window;
  MediaInit(window, 640, -1, -1, 480);
  int frames = 0;
  SetPluginFrameHandler([&] { ++frames; });
  ASSERT_NE(pluginHost, nullptr);
  ASSERT_NE(pluginHost->postMessage, nullptr);
  std::thread pluginThread([] {
    for (uint32_t message : {0x0680u, 0x0681u, 0x0682u, 0x0683u, 0x06B0u, 0x0684u}) pluginHost->postMessage(message, 7, 9);
  });
  pluginThread.join();
  EXPECT_TRUE(pluginCalls.empty()) << "nothing runs before the UI thread takes the messages";
  window.Post([&] { window.Quit(); });
  testkit::TNullWindowListener listener;
  window.RunLoop(listener);
  EXPECT_EQ(pluginCalls, (std::vector<std::string>{"wmp 1664 7 9", "wmp 1665 7 9", "video 1666", "wmp 1667 7 9"}));
  EXPECT_EQ(frames, 1);
  SetPluginFrameHandler({});
  MediaFinal();
  plugin.kivoInit = init;
  plugin.kivoWmpmanProcessEvent = wmp;
  plugin.kivoVidmanProcessEvent = video;
}

}  // namespace
}  // namespace kivo
