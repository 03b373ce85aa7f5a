// The main window over recording subsystems: source registration, the tick's order, input rules,
// the exit confirmation, full-screen fallback and a whole headless run.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/form_view.h"
#include "fake_hosts.h"
#include "platform/headless/headless_window.h"
#include "platform/message_box.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

using testing::CallLog;

class FormViewTest : public ::testing::Test {
protected:
  FormViewTest() : factory(FrameTiming().exitRequested) { FrameTiming().Reset(); }
  ~FormViewTest() override { SetMessageBoxResponder(nullptr); }

  TFormView& Create(TOptions options = {}) {
    options.headless = true;
    data = factory.CreateData();
    form = std::make_unique<TFormView>(window, factory, *data, options);
    form->FormCreate();
    factory.log.clear();
    return *form;
  }

  THeadlessWindow window;
  testing::TRecordingFactory factory;
  std::unique_ptr<IDataHost> data;
  std::unique_ptr<TFormView> form;
};

TEST_F(FormViewTest, RegistersSourcesInArgumentOrder) {
  testkit::TempFolder a, b, c;
  a.Write("game.dat", "vf");
  b.Write("game.dat", "vf");
  std::string appended = c.Write("play.bin", "....kv");
  TOptions options;
  options.headless = true;
  options.arguments = {a.Path(), b.Path(), appended};
  data = factory.CreateData();
  TFormView view(window, factory, *data, options);
  view.FormCreate();
  CallLog expected = {"memory", "base " + a.Path(), "archive " + a.Path() + "game.dat",
                      "archive " + b.Path() + "game.dat", "archive " + appended};
  ASSERT_GE(factory.log.size(), expected.size());
  EXPECT_EQ(CallLog(factory.log.begin(), factory.log.begin() + static_cast<long>(expected.size())), expected);
}

TEST_F(FormViewTest, FrameTickRunsItsStepsInOrder) {
  Create().FrameTick();
  EXPECT_EQ(factory.log, (CallLog{"locks 0", "delete", "input", "script", "update", "loadsave", "render", "present",
                                  "clear", "video"}));
}

TEST_F(FormViewTest, ExitRequestStopsTheTickAfterTheScript) {
  Create();
  factory.project->exitAfterScript = true;
  form->FrameTick();
  EXPECT_EQ(factory.log, (CallLog{"locks 0", "delete", "input", "script"}));
}

TEST_F(FormViewTest, ALoadSkipsOneRender) {
  Create();
  factory.project->loadNextTick = true;
  form->FrameTick();
  EXPECT_EQ(std::count(factory.log.begin(), factory.log.end(), "render"), 0);
  form->FrameTick();
  EXPECT_EQ(std::count(factory.log.begin(), factory.log.end(), "render"), 1);
}

TEST_F(FormViewTest, KeyRules) {
  Create();
  form->OnKeyDown(256, false);
  form->OnKeyDown(300, false);
  form->OnKeyUp(256);
  EXPECT_TRUE(factory.log.empty()) << "codes of 256 and above never reach the scene";
  form->OnKeyDown(65, true);
  EXPECT_TRUE(factory.log.empty()) << "an auto-repeat on the window raises no key press";
  form->PanelKeyDown(65);
  form->OnKeyDown(66, false);
  form->OnKeyUp(66);
  EXPECT_EQ(factory.log, (CallLog{"key 65 down", "press 65", "key 66 down", "press 66", "key 66 up"}));
}

TEST_F(FormViewTest, MouseClicksOnlyWhileActive) {
  Create();
  factory.project->toolbar = false;
  form->OnMouseDown(MouseButton::Right, 5, 5);
  EXPECT_EQ(factory.log, (CallLog{"click 0 R"}));
  factory.log.clear();
  form->OnMouseDown(MouseButton::Left, 5, window.ClientHeight() + 3);
  EXPECT_TRUE(factory.log.empty()) << "a click outside the panel is not the scene's";
}

TEST_F(FormViewTest, ExitConfirmationNoKeepsTheFlag) {
  Create();
  SetMessageBoxResponder([](auto&&...) { return MessageAnswer::No; });
  for (bool before : {false, true}) {
    FrameTiming().exitRequested = before;
    form->ExitConfirmation();
    EXPECT_EQ(FrameTiming().exitRequested, before);
  }
}

TEST_F(FormViewTest, ExitConfirmationYesCloses) {
  Create();
  std::string askedText;
  SetMessageBoxResponder([&](const std::string&, const std::string& text, MessageButtons buttons) {
    EXPECT_EQ(buttons, MessageButtons::YesNo);
    askedText = text;
    return MessageAnswer::Yes;
  });
  form->ExitConfirmation();
  EXPECT_TRUE(FrameTiming().exitRequested);
  EXPECT_NE(askedText.find("Game"), std::string::npos);
  window.RunLoop(*form);  // returns only when the posted close has quit the loop
  EXPECT_TRUE(form->ExitRequested());
}

TEST_F(FormViewTest, FullScreenFailureRestoresTheWindowedLayout) {
  factory.toolbar = true;
  Create();
  factory.media->modeFails = true;
  form->SetFullScreen(true);
  EXPECT_FALSE(form->FullScreen());
  EXPECT_EQ(window.ClientWidth(), 640);
  EXPECT_EQ(window.ClientHeight(), 480 + TToolbar::kDockHeight);
  EXPECT_EQ(form->PanelOrigin(), (TPoint{0, TToolbar::kDockHeight}));
  EXPECT_FALSE(FrameTiming().displaySwitching);
}

TEST_F(FormViewTest, FullScreenAndBack) {
  factory.toolbar = true;
  Create();
  window.SetPosition(120, 80);
  form->SetFullScreen(true);
  EXPECT_TRUE(form->FullScreen());
  EXPECT_EQ(window.ClientHeight(), 480);
  EXPECT_EQ(form->PanelOrigin(), (TPoint{0, 0}));
  form->SetFullScreen(false);
  EXPECT_FALSE(form->FullScreen());
  EXPECT_EQ(window.ClientHeight(), 480 + TToolbar::kDockHeight);
  EXPECT_EQ(window.Position(), (TPoint{120, 80})) << "the window comes back where it stood";
  EXPECT_EQ(factory.log.back(), "reload bases");
}

TEST_F(FormViewTest, AltEnterTogglesFullScreenOnlyWhileAltIsHeldHere) {
  Create();
  form->OnKeyDown(0x12, false);  // Alt
  form->OnKeyDown(0x0D, false);  // Enter
  EXPECT_TRUE(form->FullScreen());
  form->OnKeyUp(0x0D);
  form->ApplicationDeactivate();  // Alt is released in another window
  form->ApplicationActivate();
  form->OnKeyDown(0x0D, false);
  EXPECT_TRUE(form->FullScreen()) << "Enter alone does not switch";
}

TEST_F(FormViewTest, HeadlessRunTicksExactlyNFramesWithTheFixedDelta) {
  TOptions options;
  options.frames = 7;
  options.tickMs = 20;
  Create(options).Run();
  EXPECT_EQ(form->TickCount(), 7);
  EXPECT_EQ(std::count(factory.log.begin(), factory.log.end(), "script"), 7);
  EXPECT_EQ(FrameTiming().totalTime, 7 * 20);
  EXPECT_EQ(FrameTiming().frameDelta, 20);
}

}  // namespace
}  // namespace kivo
