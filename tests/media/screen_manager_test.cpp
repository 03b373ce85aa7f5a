// The screen manager: mode enumeration and choice, full-screen switching with its fallback, and
// presenting dirty rectangles and zoomed frames into a headless window; the screenshot.
#include <gtest/gtest.h>

#include "media/screen_manager.h"
#include "mode_window.h"
#include "platform/headless/headless_window.h"
#include "render/surface/picture_codec.h"
#include "support/stream.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

TEST(ScreenModes, EnumerationAndChoice) {
  const DisplayMode desktop43{1024, 768, 32, 60};
  struct {
    const char* name;
    std::vector<DisplayMode> reported;
    int widthHint, heightHint;
    DisplayMode desktop;
    size_t count;
    int chosen;
  } const cases[] = {
      {"smaller and 8-bit modes are skipped; a negative height hint keeps the first",
       {{640, 480, 16, 60}, {800, 600, 32, 60}, {320, 240, 32, 60}, {1024, 768, 8, 60}}, -1, -1, desktop43, 2, 0},
      {"equal ratio at the hinted height replaces a 5:4 choice",
       {{1280, 1024, 32, 60}, {800, 600, 32, 60}}, -1, 600, desktop43, 2, 1},
      {"the height must equal the hint", {{1280, 1024, 32, 60}, {800, 600, 32, 60}}, -1, 601, desktop43, 2, 0},
      {"the width hint is a lower bound", {{1280, 1024, 32, 60}, {800, 600, 32, 60}}, 801, 600, desktop43, 2, 0},
      {"not strictly closer does not replace", {{800, 600, 32, 60}, {800, 600, 32, 75}}, -1, 600, desktop43, 2, 0},
      {"equally close: the desktop's depth wins", {{800, 600, 16, 60}, {800, 600, 32, 60}}, -1, 600, desktop43, 2, 1},
      {"closer to a wide desktop", {{800, 600, 32, 60}, {1280, 600, 32, 60}}, -1, 600, {1920, 1080, 32, 60}, 2, 1},
      {"nothing large enough", {{320, 240, 32, 60}}, -1, -1, desktop43, 0, -1},
  };
  for (const auto& c : cases) {
    const TModeChoice choice = TScreenManager::EnumerateModes(c.reported, 640, 480, c.widthHint, c.heightHint, c.desktop);
    EXPECT_EQ(choice.modes.size(), c.count) << c.name;
    EXPECT_EQ(choice.chosen, c.chosen) << c.name;
  }
}

using testing::TModeWindow;

TEST(ScreenManager, DesktopAndFullScreenModesWithFallback) {
  TModeWindow window;
  TScreenManager screen(window, 640, 480, -1, -1);
  EXPECT_EQ(screen.CurrentIndex(), -1);
  EXPECT_EQ(screen.ChosenIndex(), 0);
  EXPECT_EQ(screen.BitCount(), 32) << "a desktop deeper than 16 bits composes in 32";
  ASSERT_NE(screen.Surface(), nullptr);
  EXPECT_EQ(screen.Surface()->Width(), 640);

  screen.SetModeIndex(1);
  EXPECT_TRUE(screen.FullScreen());
  EXPECT_TRUE(window.full);
  EXPECT_EQ(screen.BitCount(), 16);
  ASSERT_EQ(screen.Modes().size(), 3u) << "the 15-bit mode is not listed";
  screen.SetModeIndex(2);
  EXPECT_EQ(screen.BitCount(), 32);
  EXPECT_EQ(screen.Surface()->BitCount(), 32);
  EXPECT_TRUE(screen.FullScreen());

  window.refuse = true;
  screen.SetModeIndex(0);
  EXPECT_EQ(screen.CurrentIndex(), -1) << "a mode that cannot be set leaves the desktop mode";
  EXPECT_FALSE(screen.FullScreen());
  EXPECT_FALSE(window.full);
  EXPECT_EQ(screen.BitCount(), 32);
  screen.SetModeIndex(7);
  EXPECT_EQ(screen.CurrentIndex(), -1) << "an index beyond the list falls back as well";

  window.refuse = false;
  screen.SetModeIndex(0);
  screen.ReleaseSurfaces();
  EXPECT_EQ(screen.CurrentIndex(), -2);
  EXPECT_EQ(screen.Surface(), nullptr);
  EXPECT_FALSE(window.full);
  screen.SetModeIndex(-1);
  EXPECT_NE(screen.Surface(), nullptr);

  TModeWindow shallow;
  shallow.desktop.bitsPerPixel = 16;
  EXPECT_EQ(TScreenManager(shallow, 640, 480, -1, -1).BitCount(), 16);
  shallow.desktop.bitsPerPixel = 15;
  EXPECT_EQ(TScreenManager(shallow, 640, 480, -1, -1).BitCount(), 15);
}

class TFakeScene : public IScreenScene {
public:
  bool composed = true;
  int zoom = 100;
  TRect full;
  std::vector<TRect> dirty;
  int clears = 0;
  bool HasComposedSurface() const override { return composed; }
  int ZoomPercent() const override { return zoom; }
  TRect FullUpdateRect() const override { return full; }
  std::span<const TRect> DirtyRects() const override { return dirty; }
  void ClearDirtyLists() override { ++clears; }
};

uint32_t Client(const THeadlessWindow& w, int x, int y) { return w.ReadClient()[static_cast<size_t>(y) * w.ClientWidth() + x]; }

TEST(ScreenManager, PresentCopiesOnlyTheDirtyRectangles) {
  for (int depth : {32, 16}) {
    TModeWindow window;
    window.desktop.bitsPerPixel = depth;
    window.SetClientSize(8, 6);
    TScreenManager screen(window, 8, 6, -1, -1);
    TDIBX& s = *screen.Surface();
    s.Fill(static_cast<uint32_t>(s.ColorToPixel(0x0000FF)));  // red everywhere
    TFakeScene scene;
    scene.dirty = {{1, 1, 3, 2}, {}, {6, 4, 20, 20}};
    screen.Present(scene);
    EXPECT_EQ(Client(window, 1, 1), 0xFF0000u) << depth;
    EXPECT_EQ(Client(window, 2, 1), 0xFF0000u);
    EXPECT_EQ(Client(window, 3, 1), 0u) << "outside the dirty rectangles nothing is copied";
    EXPECT_EQ(Client(window, 7, 5), 0xFF0000u) << "rectangles are clipped to the scene";
    EXPECT_EQ(Client(window, 0, 0), 0u);
    EXPECT_EQ(scene.clears, 1);
    // A full-update rectangle replaces the dirty list.
    scene.full = {0, 0, 1, 1};
    screen.Present(scene);
    EXPECT_EQ(Client(window, 0, 0), 0xFF0000u);
    EXPECT_EQ(Client(window, 4, 4), 0u);
    // Nothing composed: nothing shown and the lists stay.
    scene.composed = false;
    screen.Present(scene);
    EXPECT_EQ(scene.clears, 2);
  }
}

TEST(ScreenManager, PresentPlacesThePictureAtThePanelOrigin) {
  // A window with a 2-row toolbar above a 4 x 3 scene.
  TModeWindow window;
  window.SetClientSize(4, 5);
  TScreenManager screen(window, 4, 3, -1, -1);
  TDIBX& s = *screen.Surface();
  s.Fill(s.ColorToPixel(0x0000FF));
  TFakeScene scene;
  scene.full = {0, 0, 4, 3};
  screen.Present(scene, {0, 2});
  EXPECT_EQ(Client(window, 0, 1), 0u) << "the toolbar rows stay as they are";
  EXPECT_EQ(Client(window, 0, 2), 0xFF0000u);
  EXPECT_EQ(Client(window, 3, 4), 0xFF0000u) << "the scene's last row reaches the client's bottom";
}

TEST(ScreenManager, ColoursFollowA15And16BitSwitch) {
  // A 15-bit desktop and a 16-bit full-screen mode: the same colours have other native values,
  // and grey widens its 5- and 6-bit green differently.
  TModeWindow window;
  window.desktop.bitsPerPixel = 15;
  window.modes = {{800, 600, 16, 60}};
  window.SetClientSize(4, 1);
  TScreenManager screen(window, 4, 1, -1, -1);
  struct {
    int modeIndex, depth;
    uint32_t grey;
  } const steps[] = {{-1, 15, 0x848484}, {0, 16, 0x848284}, {-1, 15, 0x848484}};
  for (const auto& step : steps) {
    screen.SetModeIndex(step.modeIndex);
    ASSERT_EQ(screen.BitCount(), step.depth);
    TDIBX& s = *screen.Surface();
    const int32_t colours[] = {0x0000FF, 0x00FF00, 0xFFFFFF, 0x808080};  // red, green, white, grey
    for (int x = 0; x < 4; ++x) s.SetPixel(x, 0, static_cast<uint32_t>(s.ColorToPixel(colours[x])));
    TFakeScene scene;
    scene.full = {0, 0, 4, 1};
    screen.Present(scene);
    EXPECT_EQ(Client(window, 0, 0), 0xFF0000u) << step.depth;
    EXPECT_EQ(Client(window, 1, 0), 0x00FF00u) << step.depth;
    EXPECT_EQ(Client(window, 2, 0), 0xFFFFFFu) << step.depth;
    EXPECT_EQ(Client(window, 3, 0), step.grey) << step.depth;
  }
}

TEST(ScreenManager, PresentZoomed) {
  TModeWindow window;
  window.SetClientSize(8, 4);
  TScreenManager screen(window, 4, 2, -1, -1);
  TDIBX& s = *screen.Surface();
  s.SetPixel(1, 0, 0x00FF00);
  TFakeScene scene;
  scene.zoom = 200;
  scene.dirty = {{1, 0, 2, 1}};
  screen.Present(scene);
  EXPECT_EQ(Client(window, 2, 0), 0x00FF00u) << "each rectangle scaled by zoom / 100";
  EXPECT_EQ(Client(window, 3, 1), 0x00FF00u);
  EXPECT_EQ(Client(window, 4, 0), 0u);
  // 150 %: the whole scene, stretched with the nearest pixel.
  window.SetClientSize(6, 3);
  scene.zoom = 150;
  scene.dirty.clear();
  screen.Present(scene);
  EXPECT_EQ(Client(window, 0, 0), 0u);
  EXPECT_EQ(Client(window, 2, 0), 0x00FF00u);
  EXPECT_EQ(Client(window, 3, 0), 0u);
}

TEST(ScreenManager, ScreenshotShowsTheComposedFrame) {
  testkit::TempFolder folder;
  THeadlessWindow window;
  TScreenManager screen(window, 32, 16, -1, -1);
  TDIBX& s = *screen.Surface();
  s.Fill(s.ColorToPixel(0x202020));
  s.FillRect({4, 4, 12, 12}, s.ColorToPixel(0x0000FF));
  TDIBX sprite(8, 8, 32);
  sprite.Fill(sprite.ColorToPixel(0xFF0000));
  s.DrawAlpha(8, 8, 128, false, false, false, {0, 0, 8, 8}, sprite);
  const std::string path = folder.File("shot.png");
  ASSERT_TRUE(screen.SaveScreenshot(path));
  const std::string bytes = folder.Read("shot.png");
  TMemoryStream png(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  const TPicture pic = DecodePng(png);
  ASSERT_EQ(pic.width, 32);
  EXPECT_EQ(pic.rgb[5 * 32 + 5], 0xFF0000u);
  EXPECT_EQ(pic.rgb[10 * 32 + 10], s.GetPixel(10, 10) & 0xFFFFFF) << "red under half blue";
  EXPECT_EQ(pic.rgb[0], 0x202020u);
  screen.ReleaseSurfaces();
  EXPECT_FALSE(screen.SaveScreenshot(folder.File("none.png")));
}

}  // namespace
}  // namespace kivo
