// The project file at its versions: gates, defaults, initial variables and damaged files.
#include <gtest/gtest.h>

#include "engine/project_setting.h"
#include "platform/kivo_error.h"
#include "support/binary_io.h"

namespace kivo {
namespace {

TProjectSetting Sample() {
  TProjectSetting s;
  s.title = "\x83\x65\x83\x58\x83\x67";  // テスト
  s.screenWidth = 800;
  s.screenHeight = 600;
  s.startPage = "start.ksb";
  s.exitPage = "exit.ksb";
  s.registryKey = "Maker\\Game";
  s.imageSeed = 1234;
  s.writeStatusFile = true;
  s.idleYield = true;
  s.mediaExtensions = ".wav.ogg";
  s.pauseWhenInactive = true;
  s.startFlag = true;
  s.toolbarVisible = false;
  s.discPrompt = "disc %d";
  s.quitNotice = "bye";
  s.initialVariables = {{"i", TInitialVariable::Integer, -5, 0, false, ""},
                        {"f", TInitialVariable::Float, 0, 2.5L, false, ""},
                        {"b", TInitialVariable::Boolean, 0, 0, true, ""},
                        {"s", TInitialVariable::String, 0, 0, false, "text"},
                        {"none", TInitialVariable::None, 0, 0, false, ""}};
  s.folderDiscs.Add("BGM\\", 2);
  return s;
}

TProjectSetting RoundTrip(const TProjectSetting& s) {
  TMemoryStream stream;
  s.SaveToStream(stream);
  stream.SetPosition(0);
  TProjectSetting back;
  back.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size()) << "every byte read at version " << s.version;
  return back;
}

TEST(ProjectSetting, NewestVersionRoundTrips) {
  TProjectSetting s = Sample();
  TProjectSetting back = RoundTrip(s);
  EXPECT_EQ(back.title, s.title);
  EXPECT_EQ(back.exitPage, "exit.ksb");
  EXPECT_EQ(back.mediaExtensions, ".wav.ogg");
  EXPECT_FALSE(back.toolbarVisible);
  EXPECT_TRUE(back.startFlag);
  EXPECT_EQ(back.initialVariables, s.initialVariables);
  EXPECT_EQ(back.folderDiscs.Entries(), s.folderDiscs.Entries());
}

TEST(ProjectSetting, OlderVersionsLackTheirLaterFields) {
  struct Case {
    int version;
    bool hasExitPage, hasStatusFlag, hasExtensions, hasPause, hasStartFlag, hasToolbar;
  } cases[] = {{103, false, false, false, false, false, false},
               {109, false, true, true, false, false, false},
               {110, true, true, true, false, false, false},
               {113, true, true, true, true, false, false},
               {116, true, true, true, true, true, true}};
  for (const Case& c : cases) {
    TProjectSetting s = Sample();
    s.version = c.version;
    TProjectSetting back = RoundTrip(s);
    EXPECT_EQ(back.exitPage, c.hasExitPage ? "exit.ksb" : "") << c.version;
    EXPECT_EQ(back.writeStatusFile, c.hasStatusFlag) << c.version;
    EXPECT_EQ(back.mediaExtensions, c.hasExtensions ? ".wav.ogg" : ".wav.wma.ogg.mid") << c.version;
    EXPECT_EQ(back.pauseWhenInactive, c.hasPause) << c.version;
    EXPECT_EQ(back.startFlag, c.hasStartFlag) << c.version;
    EXPECT_EQ(back.toolbarVisible, !c.hasToolbar) << c.version << ": absent means shown";
    EXPECT_EQ(back.initialVariables, s.initialVariables) << c.version;
  }
}

TEST(ProjectSetting, RefusesNewerVersionsAndDamagedFiles) {
  TMemoryStream newer;
  TBinaryWriter(newer).Int32(117);
  newer.SetPosition(0);
  TProjectSetting s;
  try {
    s.LoadFromStream(newer);
    FAIL();
  } catch (const EKivoError& e) {
    EXPECT_EQ(e.Message(), "\x82\xB1\x82\xCC\x83o\x81[\x83W\x83\x87\x83\x93\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5"
                           "\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1");
  }

  TMemoryStream whole;
  Sample().SaveToStream(whole);
  for (int64_t cut : {int64_t{2}, int64_t{30}, whole.Size() - 1}) {
    TMemoryStream part(std::vector<uint8_t>(whole.Bytes().begin(), whole.Bytes().begin() + cut));
    EXPECT_THROW(s.LoadFromStream(part), EKivoError) << cut;
  }

  TMemoryStream hostile;
  TProjectSetting empty;
  empty.SaveToStream(hostile);
  // Patch the initial variable count (after the fixed fields) to an absurd number.
  std::vector<uint8_t> bytes = hostile.TakeBytes();
  size_t countAt = bytes.size() - 8;  // count of variables, then the folder list's count
  bytes[countAt + 3] = 0x7F;
  TMemoryStream patched(bytes);
  EXPECT_THROW(s.LoadFromStream(patched), EKivoError);
}

}  // namespace
}  // namespace kivo
