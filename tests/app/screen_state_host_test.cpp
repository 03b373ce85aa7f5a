// The screen variables over the main window and the real media layer on a display with modes:
// the full-screen switch, the mode list, choosing a mode, and the fallback to the window.
#include "app/screen_state_host.h"

#include <gtest/gtest.h>

#include "app/form_view.h"
#include "app/media_host.h"
#include "fake_hosts.h"
#include "media/media_layer.h"
#include "media/mode_window.h"
#include "values/param_collection.h"

namespace kivo {
namespace {

// The recording subsystems, except that the media layer is the real one.
class TMediaLayerFactory : public testing::TRecordingFactory {
public:
  using TRecordingFactory::TRecordingFactory;
  std::unique_ptr<IMediaHost> CreateMedia(TFormView&, IWindow& window, const IProjectHost*, ISceneHost& scene) override {
    auto media = std::make_unique<TMediaLayerHost>(window, scene, 640, 480, -1, -1);
    layer = media.get();
    return media;
  }
  TMediaLayerHost* layer = nullptr;
};

class ScreenStateHostTest : public ::testing::Test {
protected:
  ScreenStateHostTest() : factory(FrameTiming().exitRequested) {
    FrameTiming().Reset();
    TOptions options;
    options.headless = true;
    data = factory.CreateData();
    form = std::make_unique<TFormView>(window, factory, *data, options);
    form->FormCreate();
    host = std::make_unique<TScreenStateHost>(*form, *factory.layer);
    vars.Hosts.Screen = host.get();
  }
  TCustomParam& Var(const char* name) { return *vars.FindVar(name)->Param; }
  bool FullScr() { return Var("@FullScr").AsBool(); }
  int ModeIndex() { return Var("@DisplayModeIndex").AsInt(); }

  testing::TModeWindow window;  // offers 640x480x32, 800x600x16 and 1024x768x32 (and a 15-bit mode)
  TMediaLayerFactory factory;
  std::unique_ptr<IDataHost> data;
  std::unique_ptr<TFormView> form;
  std::unique_ptr<TScreenStateHost> host;
  TParamCollection vars;
};

TEST_F(ScreenStateHostTest, AModeChosenInTheWindowIsUsedWhenSwitchingToFullScreen) {
  EXPECT_EQ(Var("@DisplayModeCount").AsInt(), 3) << "the 15-bit mode is not listed";
  EXPECT_EQ(ModeIndex(), 0);
  EXPECT_FALSE(FullScr());

  Var("@DisplayModeIndex").SetInt(2);
  EXPECT_EQ(ModeIndex(), 2);
  EXPECT_FALSE(window.full) << "choosing a mode does not leave the window";

  Var("@FullScr").SetBool(true);
  EXPECT_TRUE(FullScr());
  EXPECT_TRUE(window.full);
  EXPECT_EQ(window.entered, (DisplayMode{1024, 768, 32, 60}));
  EXPECT_EQ(ScreenMan()->CurrentIndex(), 2);

  Var("@FullScr").SetBool(false);
  EXPECT_FALSE(FullScr());
  EXPECT_FALSE(window.full);
  EXPECT_EQ(ScreenMan()->CurrentIndex(), -1);
  EXPECT_EQ(ModeIndex(), 2) << "the choice stays for the next switch";
}

TEST_F(ScreenStateHostTest, AModeChosenInFullScreenIsAppliedAtOnce) {
  Var("@FullScr").SetBool(true);
  EXPECT_EQ(window.entered, (DisplayMode{640, 480, 32, 60}));
  Var("@DisplayModeIndex").SetInt(1);
  EXPECT_TRUE(FullScr());
  EXPECT_EQ(window.entered, (DisplayMode{800, 600, 16, 60}));
  EXPECT_EQ(ScreenMan()->CurrentIndex(), 1);
  EXPECT_EQ(ScreenMan()->BitCount(), 16) << "the scene composes in the new mode's depth";
}

TEST_F(ScreenStateHostTest, ModesThatCannotBeShownLeaveTheWindow) {
  struct {
    const char* name;
    bool refuse;  // the display refuses full screen
    int choice;   // written to @DisplayModeIndex while full screen
  } const cases[] = {
      {"the display refuses the mode", true, 1},
      {"an index beyond the list", false, 3},
  };
  for (const auto& c : cases) {
    Var("@DisplayModeIndex").SetInt(0);
    Var("@FullScr").SetBool(true);
    ASSERT_TRUE(FullScr()) << c.name;
    window.refuse = c.refuse;
    Var("@DisplayModeIndex").SetInt(c.choice);
    EXPECT_FALSE(FullScr()) << c.name;
    EXPECT_FALSE(window.full) << c.name;
    EXPECT_EQ(window.ClientHeight(), 480) << c.name;
    window.refuse = false;
  }
  window.refuse = true;
  Var("@DisplayModeIndex").SetInt(0);
  Var("@FullScr").SetBool(true);
  EXPECT_FALSE(FullScr()) << "switching to a refused mode stays in the window";

  window.refuse = false;
  Var("@DisplayModeIndex").SetInt(-1);
  Var("@FullScr").SetBool(true);
  EXPECT_FALSE(FullScr()) << "without a chosen mode there is no full screen";
}

}  // namespace
}  // namespace kivo
