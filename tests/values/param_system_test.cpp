// System variables: engine state through the hosts, their own conversion rules, forwarding.
#include "values/param_system.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "values/param_collection.h"
#include "values/value_messages.h"

namespace kivo {
namespace {

struct TFakeScene : TSceneHost {
  bool lclick = false;
  int x = 10, y = 20;
  bool LClick() override { return lclick; }
  void SetLClick(bool v) override { lclick = v; }
  int MouseX() override { return x; }
  int MouseY() override { return y; }
  void SetMouse(int nx, int ny) override { x = nx, y = ny; }
  bool KeyPush(int key) override { return key == 13 || key == 257; }
};

struct TFakeCall : TCallHost {
  TParamInt result;
  bool inCall = true;
  TCustomParam* CurrentResult() override { return inCall ? &result : nullptr; }
  int ParamCount() override { return 2; }
  std::string ParamStr(int index) override { return index == 0 ? "first" : "7"; }
};

struct TFakeMidi : TMidiHost {
  std::string port;
  std::string MidiPort() override { return port; }
  void SetMidiPort(const std::string& name) override { port = name; }
  int MidiPortCount() override { return 2; }
  std::string MidiPortName(int index) override { return index == 0 ? "Synth" : "Port 2"; }
};

// The local clock stopped at a reading given in local milliseconds since 1970.
struct TStoppedClock : TClockHost {
  int64_t localMilliseconds = 0;
  TLocalTime Now() override { return LocalTimeFields(localMilliseconds); }
};

class TSystemVarTest : public ::testing::Test {
protected:
  TSystemVarTest() {
    vars.Hosts.Scene = &scene;
    vars.Hosts.Call = &call;
    vars.Hosts.Midi = &midi;
  }
  TCustomParam& Var(const char* name) { return *vars.FindVar(name)->Param; }

  TFakeScene scene;
  TFakeCall call;
  TFakeMidi midi;
  TStoppedClock clock;  // the system clock unless a test plugs this in
  TParamCollection vars;
};

TEST_F(TSystemVarTest, KindsAndConstants) {
  EXPECT_EQ(Var("@LClick").ParamType(), PT_BOOL);
  EXPECT_EQ(Var("@MouseX").ParamType(), PT_INT);
  EXPECT_EQ(Var("@Pi").ParamType(), PT_FLOAT);
  EXPECT_EQ(Var("@Title").ParamType(), PT_STR);
  EXPECT_EQ(Var("@Pi").AsString(), "3.14159265358979");
  EXPECT_EQ(Var("@1Hour").AsFloat() * 24, 1.0L);
  EXPECT_EQ(Var("@1Sec").AsFloat() * 86400, 1.0L);
  EXPECT_FALSE(Var("@IsDebug").AsBool());
  EXPECT_EQ(Var("@TextDelay").AsInt(), 50);
  TLocalTime now = LocalTimeNow();
  EXPECT_EQ(Var("@Week").AsInt(), now.weekday + 1);  // 1 = Sunday
  EXPECT_EQ(Var("@Year").AsInt(), now.year);
  // Neutral answers of the subsystems that have not plugged in.
  EXPECT_EQ(Var("@ScrWidth").AsInt(), 0);
  EXPECT_EQ(Var("@HistoryCount").AsInt(), 0);
  std::string fonts = Var("@Fonts").AsString();
  EXPECT_TRUE(fonts.size() < 2 || fonts.substr(fonts.size() - 2) != "\r\n");
}

TEST_F(TSystemVarTest, DateAndTimeOfTheLocalClock) {
  vars.Hosts.Clock = &clock;
  struct {
    int64_t seconds;
    int year, month, day, week, hour, min, sec;
  } const cases[] = {
      {1672564087, 2023, 1, 1, 1, 9, 8, 7},        // a Sunday is 1
      {1672531199, 2022, 12, 31, 7, 23, 59, 59},   // the Saturday before is 7
      {1709208000, 2024, 2, 29, 5, 12, 0, 0},      // a leap day, Thursday
  };
  for (const auto& c : cases) {
    clock.localMilliseconds = c.seconds * 1000 + 999;
    EXPECT_EQ(Var("@Year").AsInt(), c.year) << c.seconds;
    EXPECT_EQ(Var("@Month").AsInt(), c.month) << c.seconds;
    EXPECT_EQ(Var("@Day").AsInt(), c.day) << c.seconds;
    EXPECT_EQ(Var("@Week").AsInt(), c.week) << c.seconds;
    EXPECT_EQ(Var("@Hour").AsInt(), c.hour) << c.seconds;
    EXPECT_EQ(Var("@Min").AsInt(), c.min) << c.seconds;
    EXPECT_EQ(Var("@Sec").AsInt(), c.sec) << c.seconds;
  }
}

TEST_F(TSystemVarTest, ReadsAndWritesEngineState) {
  Var("@LClick").SetBool(true);
  EXPECT_TRUE(scene.lclick);
  Var("@MouseX").SetInt(99);
  EXPECT_EQ(scene.x, 99);
  EXPECT_EQ(scene.y, 20);  // y unchanged
  Var("@MouseY").SetStr("$10");
  EXPECT_EQ(scene.y, 16);
  Var("@TextDelay").SetFloat(12.9L);
  EXPECT_EQ(vars.TextDelay, 12);
  Var("@SelIndex").SetInt(3);
  EXPECT_EQ(vars.SelectedIndex, 3);
  Var("@Cursor").SetInt(5);
  EXPECT_EQ(vars.CursorName, "5");
  Var("@MidiPort").SetStr("Synth");
  EXPECT_EQ(midi.port, "Synth");
  Var("@ScrWidth").SetInt(640);  // ignored
  EXPECT_EQ(Var("@ScrWidth").AsInt(), 0);
  Var("@Pi").SetFloat(3);
  EXPECT_EQ(Var("@Pi").AsInt(), 3);
}

TEST_F(TSystemVarTest, OwnConversionRules) {
  // A boolean one written with text stores (integer parse) != 0.
  Var("@LClick").SetStr("5");
  EXPECT_TRUE(scene.lclick);
  Var("@LClick").SetStr("TRUE");
  EXPECT_FALSE(scene.lclick);
  // A string one read as a boolean: non-empty; element-wise, integer parse != 0.
  vars.SelectedText = "abc";
  EXPECT_TRUE(Var("@SelStr").AsBool());
  EXPECT_FALSE(Var("@SelStr").GetBoolAt(0));
  vars.SelectedText = "";
  EXPECT_FALSE(Var("@SelStr").AsBool());
  EXPECT_TRUE(Var("@ParamStr").GetBoolAt(1));  // "7"
  // An integer one written with text that does not parse keeps its value.
  Var("@TextDelay").SetStr("fast");
  EXPECT_EQ(vars.TextDelay, 50);
  Var("@TextDelay").SetStr("20");
  EXPECT_EQ(vars.TextDelay, 20);
}

TEST_F(TSystemVarTest, ArrayValued) {
  TCustomParam& params = Var("@ParamStr");
  EXPECT_EQ(params.GetCount(), 2);
  EXPECT_EQ(params.GetStrAt(0), "first");
  EXPECT_EQ(params.GetIntAt(1), 7);
  EXPECT_EQ(params.AsString(), "");  // scalar read
  EXPECT_THROW(params.GetStrAt(2), EKivoError);
  TCustomParam& keys = Var("@KeyPush");
  EXPECT_EQ(keys.GetCount(), 258);
  EXPECT_TRUE(keys.GetBoolAt(13));
  EXPECT_FALSE(keys.GetBoolAt(14));
  EXPECT_TRUE(keys.GetBoolAt(257));  // wheel up
  EXPECT_EQ(keys.IndexOf("TRUE", true, false), 13);
  EXPECT_THROW(keys.GetBoolAt(258), EKivoError);
  EXPECT_EQ(Var("@MidiPorts").GetCount(), 2);
  EXPECT_EQ(Var("@MidiPorts").GetStrAt(1), "Port 2");
  EXPECT_EQ(Var("@MidiPorts").AsString(), "Synth");
}

TEST_F(TSystemVarTest, ResultAndTempForward) {
  TCustomParam& result = Var("@Result");
  EXPECT_EQ(result.ParamType(), PT_INT);
  result.SetStr("41");
  EXPECT_EQ(call.result.AsInt(), 41);
  call.inCall = false;
  EXPECT_EQ(result.AsInt(), 0);
  EXPECT_EQ(result.GetCount(), 1);
  result.SetInt(5);  // ignored with no call

  TCustomParam& temp = Var("@Temp");
  EXPECT_EQ(temp.ParamType(), PT_NONE);
  EXPECT_EQ(temp.AsString(), "");
  TParamCollectionItem& target = vars.AddVar(PT_STR);
  target.SetName("name");
  target.Param->SetDims({3});
  vars.TempVarName = "NAME";
  EXPECT_EQ(temp.ParamType(), PT_STR);
  EXPECT_EQ(temp.GetCount(), 3);
  temp.SetStrAt(2, "x");
  EXPECT_EQ(target.Param->GetStrAt(2), "x");
  temp.SetInt(4);  // a scalar write collapses the array it stands for
  EXPECT_EQ(target.Param->GetCount(), 1);
  EXPECT_EQ(target.Param->AsString(), "4");
}

}  // namespace
}  // namespace kivo
