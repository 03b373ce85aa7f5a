// The platform layer's own logic: text conversion, INI files, the instance lock, key codes, the
// client buffer's clipping, the fields of a clock reading, and the SDL window without a display.
#include <gtest/gtest.h>

#include <SDL2/SDL_scancode.h>

#include <array>
#include <cstdlib>
#include <thread>

#include "platform/client_buffer.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/instance_lock.h"
#include "platform/paths.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/window.h"
#include "testkit/null_window_listener.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

TEST(Cp932, ConvertsBothWaysAndMarksUnmappableBytes) {
  const std::string cp932 = "a\x83\x41\x95\x5C\x83\x7C";  // aア表ポ: trail bytes look like 'A', '\' and '|'
  const std::string utf8 = "a\xE3\x82\xA2\xE8\xA1\xA8\xE3\x83\x9D";
  EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
  EXPECT_EQ(Utf8ToCp932(utf8), cp932);
  EXPECT_EQ(Cp932ToUtf8("x\x81"), "x?");  // a lead byte without its trail
  EXPECT_TRUE(IsUtf8RepresentableInCp932(utf8));
  EXPECT_FALSE(IsUtf8RepresentableInCp932("\xF0\x9F\x98\x80"));  // an emoji has no CP932 form
}

TEST(IniFile, ReadsLikeTheProfileCalls) {
  testkit::TempFolder folder;
  std::string path = folder.Write("game.ini",
                                  "; comment\r\n[sound]\r\n DirectSound = 0 \r\ndirectsound=1\r\nDelayTime=0x64\r\n"
                                  "[Video]\r\nUseWMP=yes\r\n");
  TIniFile ini(path);
  EXPECT_TRUE(ini.Exists());
  EXPECT_FALSE(ini.ReadBool("Sound", "DirectSound", true)) << "first key wins, names ignore case";
  EXPECT_EQ(ini.ReadInteger("SOUND", "delaytime", 5), 100);
  EXPECT_TRUE(ini.ReadBool("Video", "UseWMP", true)) << "not a number: the default";
  EXPECT_EQ(ini.ReadString("None", "x", "fallback"), "fallback");
  ini.WriteInteger("Sound", "DelayTime", 300);
  ini.WriteBool("New", "Flag", true);
  ASSERT_TRUE(ini.UpdateFile());
  TIniFile again(path);
  EXPECT_EQ(again.ReadInteger("Sound", "DelayTime", 0), 300);
  EXPECT_TRUE(again.ReadBool("new", "flag", false));
  EXPECT_FALSE(TIniFile(folder.File("missing.ini")).Exists());
}

TEST(InstanceLock, OneHolderPerName) {
  TInstanceLock first("kivoplay-test-lock");
  ASSERT_TRUE(first.Acquired());
  EXPECT_FALSE(TInstanceLock("kivoplay-test-lock").Acquired());
  EXPECT_TRUE(TInstanceLock("kivoplay-test-lock-other").Acquired());
  first.Release();
  EXPECT_TRUE(TInstanceLock("kivoplay-test-lock").Acquired());
}

TEST(VirtualKeys, ScancodesMapToWindowsCodes) {
  struct Case {
    int scancode;
    int vk;
  } cases[] = {{SDL_SCANCODE_A, 'A'},         {SDL_SCANCODE_Z, 'Z'},         {SDL_SCANCODE_0, '0'},
               {SDL_SCANCODE_9, '9'},         {SDL_SCANCODE_RETURN, 0x0D},   {SDL_SCANCODE_ESCAPE, 0x1B},
               {SDL_SCANCODE_SPACE, 0x20},    {SDL_SCANCODE_LEFT, 0x25},     {SDL_SCANCODE_DOWN, 0x28},
               {SDL_SCANCODE_F1, 0x70},       {SDL_SCANCODE_F12, 0x7B},      {SDL_SCANCODE_LCTRL, 0x11},
               {SDL_SCANCODE_RSHIFT, 0x10},   {SDL_SCANCODE_KP_0, 0x60},     {SDL_SCANCODE_KP_9, 0x69},
               {SDL_SCANCODE_KP_ENTER, 0x0D}, {SDL_SCANCODE_INTERNATIONAL3, 0xDC}, {SDL_SCANCODE_UNKNOWN, 0}};
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << c.scancode;
}

TEST(ClientBuffer, CopiesOnlyTheRectanglesInsideTheClientArea) {
  TClientBuffer client;
  client.Resize(4, 3);
  const uint32_t picture[2 * 2] = {1, 2, 3, 4};
  TRect rects[] = {{0, 0, 2, 2}, {5, 5, 9, 9}};
  // Placed at (3, 2): only the picture's top-left pixel lands inside.
  auto changed = client.CopyRects(picture, 2, 2, 8, {3, 2}, rects);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0], (TRect{3, 2, 4, 3}));
  EXPECT_EQ(client.Row(2)[3], 1u);
  EXPECT_EQ(client.Fill({-5, -5, 1, 10}, 7), (TRect{0, 0, 1, 3}));
  EXPECT_EQ(client.Row(1)[0], 7u);
  EXPECT_EQ(client.Row(1)[1], 0u);
}

TEST(LocalTime, FieldsOfAReading) {
  using Fields = std::array<int, 8>;  // year, month, day, hour, minute, second, millisecond, weekday
  struct {
    int64_t localMilliseconds;
    Fields fields;
  } const cases[] = {
      {1672564087123, {2023, 1, 1, 9, 8, 7, 123, 0}},  // a Sunday
      {-1, {1969, 12, 31, 23, 59, 59, 999, 3}},         // the last millisecond before 1970, a Wednesday
  };
  for (const auto& c : cases) {
    const TLocalTime t = LocalTimeFields(c.localMilliseconds);
    EXPECT_EQ((Fields{t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond, t.weekday}), c.fields)
        << c.localMilliseconds;
  }
}

// The SDL window on SDL's dummy video driver: the whole present path (client copy, texture
// upload of the changed rectangles, window redraw) and posted tasks, without a display.
TEST(SdlWindow, PresentsAndRunsPostedTasksOnTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::unique_ptr<IWindow> window = CreateWindow(WindowBackend::Sdl);
  ASSERT_FALSE(window->IsHeadless());
  window->SetClientSize(8, 6);
  std::vector<uint32_t> picture(8 * 6, 0x00FF0000);
  const TRect changed[] = {{1, 1, 3, 2}, {6, 4, 20, 20}};
  window->PresentRects(picture.data(), 8, 6, 8 * 4, {0, 0}, changed);
  window->FillClientRect({0, 5, 2, 6}, 0x0000FF);
  std::vector<uint32_t> client = window->ReadClient();
  ASSERT_EQ(client.size(), 48u);
  EXPECT_EQ(client[1 * 8 + 1] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(client[1 * 8 + 3] & 0xFFFFFF, 0u) << "outside the changed rectangles";
  EXPECT_EQ(client[5 * 8 + 7] & 0xFFFFFF, 0xFF0000u) << "clipped to the client area";
  EXPECT_EQ(client[5 * 8 + 1] & 0xFFFFFF, 0x0000FFu);
  // A resize keeps working, and posted tasks run on the loop until one quits it.
  window->SetClientSize(16, 12);
  window->PresentRects(picture.data(), 8, 6, 8 * 4, {4, 3}, changed);
  int ran = 0;
  std::thread poster([&] {
    window->Post([&] { ++ran; });
    window->Post([&] { window->Quit(); });
  });
  poster.join();
  testkit::TNullWindowListener listener;
  window->RunLoop(listener);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(window->ReadClient()[4 * 16 + 5] & 0xFFFFFF, 0xFF0000u) << "drawn at the picture's origin";
}

}  // namespace
}  // namespace kivo
