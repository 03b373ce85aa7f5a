// game.ini settings, the command line, the input script and the instance name.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/game_settings.h"
#include "app/input_script.h"
#include "app/options.h"
#include "app/program_entry.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

TEST(GameSettings, DefaultsWithoutFile) {
  TGameSettings s = TGameSettings::Read("/nonexistent/game.ini");
  EXPECT_TRUE(s.directSound);
  EXPECT_EQ(s.delayTimeMs, 500);
  EXPECT_FALSE(s.useWmp);
}

TEST(GameSettings, DelayTimeIsTruncatedToHundredsAndClamped) {
  struct Case {
    const char* value;
    int expected;
  } cases[] = {{"250", 200}, {"50", 100}, {"900", 500}, {"100", 100}, {"-300", 100}, {"499", 400}, {"abc", 500}};
  testkit::TempFolder folder;
  for (const Case& c : cases) {
    std::string path = folder.Write("game.ini", std::string("[Sound]\r\nDirectSound=0\r\nDelayTime=") + c.value +
                                                    "\r\n[Video]\r\nUseWMP=1\r\n");
    TGameSettings s = TGameSettings::Read(path);
    EXPECT_EQ(s.delayTimeMs, c.expected) << c.value;
    EXPECT_FALSE(s.directSound);
    EXPECT_TRUE(s.useWmp);
  }
}

TEST(Options, OwnOptionsComeBeforeTheOriginalCommandLine) {
  TOptions o = ParseOptions({"--headless", "--tick-ms", "20", "--frames", "5", "--trace", "t.txt", "game", "--frames",
                             "extra"});
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.tickMs, 20);
  EXPECT_EQ(*o.frames, 5);
  EXPECT_EQ(o.traceFile, "t.txt");
  EXPECT_EQ(o.arguments, (std::vector<std::string>{"game", "--frames", "extra"}));
}

TEST(Options, UsageErrors) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--frames"}, {"--frames", "x"}, {"--tick-ms", "0"},
                                        {"--tick-ms", "300"}, {"--nonsense"}, {"--frames", "-1"}})
    EXPECT_THROW(ParseOptions(args), std::invalid_argument) << args[0];
}

TEST(InputScript, ExpandsClicksAndKeysAndSortsByTick) {
  TInputScript s = TInputScript::Parse(
      "# comment\n"
      "3 click 10 20\n"
      "\n"
      "1 key 65\r\n"
      "2 screenshot out dir/shot 1.png\n"
      "4 wheelup\n");
  using Kind = TInputEvent::Kind;
  auto at1 = s.TakeDue(1);
  ASSERT_EQ(at1.size(), 1u);
  EXPECT_EQ(at1[0].kind, Kind::KeyDown);
  EXPECT_EQ(at1[0].x, 65);
  auto at2 = s.TakeDue(2);
  ASSERT_EQ(at2.size(), 2u);
  EXPECT_EQ(at2[0].kind, Kind::KeyUp);
  EXPECT_EQ(at2[1].file, "out dir/shot 1.png");
  auto at3 = s.TakeDue(3);
  ASSERT_EQ(at3.size(), 1u);
  EXPECT_EQ(at3[0].kind, Kind::LeftDown);
  EXPECT_EQ(at3[0].y, 20);
  auto at4 = s.TakeDue(4);
  ASSERT_EQ(at4.size(), 2u);
  EXPECT_EQ(at4[0].kind, Kind::LeftUp);
  EXPECT_EQ(at4[1].kind, Kind::WheelUp);
  EXPECT_TRUE(s.Empty());
}

TEST(InputScript, MalformedLinesNameTheLine) {
  for (const char* text : {"0 move 1 2", "x move 1 2", "1 move 1", "1 fly 1 2", "1 key", "1 screenshot", "1 move 1 2 3"}) {
    try {
      TInputScript::Parse(std::string("# first\n") + text);
      ADD_FAILURE() << text;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
    }
  }
}

TEST(InstanceName, UpperCasedWithDelimitersAsDashes) {
  EXPECT_EQ(InstanceName("/home/me/Game"), "-HOME-ME-GAME-");
  EXPECT_EQ(InstanceName("/home/me/Game/"), "-HOME-ME-GAME-");
  EXPECT_EQ(InstanceName("c:\\games\\x"), "C:-GAMES-X-");
}

}  // namespace
}  // namespace kivo
