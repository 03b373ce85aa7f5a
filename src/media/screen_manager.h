// TScreenManager: display modes, the surface the scene is composed into, and presenting each frame.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/window.h"
#include "render/surface/dibx.h"

namespace kivo {

// What the screen manager reads from the scene root when it presents.
class IScreenScene {
public:
  virtual ~IScreenScene() = default;
  // True when the render step has composed a frame into the screen manager's surface.
  virtual bool HasComposedSurface() const = 0;
  // The scene's zoom in percent (100: one to one).
  virtual int ZoomPercent() const = 0;
  // A rectangle that must be shown whole; empty when only the dirty rectangles changed.
  virtual TRect FullUpdateRect() const = 0;
  // The rectangles that changed on the current base (its clip list).
  virtual std::span<const TRect> DirtyRects() const = 0;
  // Called after presenting: the dirty lists of both bases start again.
  virtual void ClearDirtyLists() = 0;
};

struct TModeChoice {
  std::vector<DisplayMode> modes;
  int chosen = -1;
};

class TScreenManager {
public:
  // The window's modes are enumerated and the desktop mode is set up (mode index -1).
  TScreenManager(IWindow& window, int width, int height, int fullWidthHint, int fullHeightHint);
  ~TScreenManager();

  // -1: the desktop; 0..n-1: a full-screen mode of the list. A full-screen mode that cannot be
  // set falls back to the desktop.
  void SetModeIndex(int index);
  // Drops the composing surface and leaves full screen; the current index becomes -2.
  void ReleaseSurfaces();
  // Shows the composed frame with its top-left corner at `origin` of the window's client area
  // (the scene panel sits below the toolbar when the game shows one).
  void Present(IScreenScene& scene, TPoint origin = {0, 0});

  int ChosenIndex() const { return chosenIndex_; }
  void SetChosenIndex(int index) { chosenIndex_ = index; }
  int CurrentIndex() const { return currentIndex_; }
  bool FullScreen() const { return fullScreen_; }
  // Bit count of the composing surface (15, 16 or 32); the scene's surfaces use it.
  int BitCount() const { return depth_; }
  int DesktopDepth() const { return desktopDepth_; }
  const std::vector<DisplayMode>& Modes() const { return modes_; }
  // The surface the scene is composed into; null after ReleaseSurfaces.
  TDIBX* Surface() { return surface_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Writes the composing surface (the last composed frame) as a 24-bit PNG; false without one.
  bool SaveScreenshot(const std::string& path);

  // The enumeration and choice rules over the modes the display reports.
  static TModeChoice EnumerateModes(const std::vector<DisplayMode>& reported, int sceneWidth, int sceneHeight,
                                    int widthHint, int heightHint, const DisplayMode& desktop);

private:
  bool CreateSurfaces(int index);
  // Copies rectangles of the composing surface, scaled by `scale`, into the staging picture.
  void Stage(std::span<const TRect> rects, int scale, std::vector<TRect>& staged);
  void StageStretched(int zoomWidth, int zoomHeight);
  uint32_t Rgb(uint32_t native) const;

  IWindow& window_;
  int width_;
  int height_;
  int fullWidthHint_;
  int fullHeightHint_;
  std::vector<DisplayMode> modes_;
  int currentIndex_ = -2;
  int chosenIndex_ = -1;
  int desktopDepth_ = 24;
  int depth_ = 32;
  bool fullScreen_ = false;
  std::unique_ptr<TDIBX> surface_;
  // 0x00RRGGBB picture handed to the window when the surface is not 32-bit or is zoomed.
  std::vector<uint32_t> staging_;
  int stagingWidth_ = 0;
  std::vector<uint32_t> rgbOf16_;  // 16-bit native value -> 0x00RRGGBB of the current surface; empty: not built yet
};

}  // namespace kivo
