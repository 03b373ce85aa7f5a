// TScreenManager: mode enumeration and choice, desktop and full-screen surfaces, and presentation
// of the dirty rectangles (or the whole scene when zoomed) through the window.
#include "media/screen_manager.h"

#include <cmath>

#include "render/surface/picture_codec.h"

namespace kivo {

namespace {

double Ratio(int w, int h) { return h > 0 ? static_cast<double>(w) / h : 0.0; }

}  // namespace

TModeChoice TScreenManager::EnumerateModes(const std::vector<DisplayMode>& reported, int sceneWidth, int sceneHeight,
                                           int widthHint, int heightHint, const DisplayMode& desktop) {
  TModeChoice out;
  const double desktopRatio = Ratio(desktop.width, desktop.height);
  const int desktopDepth = desktop.bitsPerPixel > 0 ? desktop.bitsPerPixel : 24;
  for (const DisplayMode& m : reported) {
    if (m.width < sceneWidth || m.height < sceneHeight || m.bitsPerPixel < 16) continue;
    out.modes.push_back(m);
    const int index = static_cast<int>(out.modes.size()) - 1;
    if (out.chosen < 0) {
      out.chosen = index;
      continue;
    }
    const DisplayMode& c = out.modes[static_cast<size_t>(out.chosen)];
    if (!(widthHint < 0 || m.width >= widthHint) || heightHint < 0 || m.height != heightHint) continue;
    const double mine = std::abs(Ratio(m.width, m.height) - desktopRatio);
    const double theirs = std::abs(Ratio(c.width, c.height) - desktopRatio);
    // Equally close modes: the one with the desktop's colour depth is preferred.
    if (mine < theirs || (mine == theirs && m.bitsPerPixel == desktopDepth && c.bitsPerPixel != desktopDepth))
      out.chosen = index;
  }
  return out;
}

TScreenManager::TScreenManager(IWindow& window, int width, int height, int fullWidthHint, int fullHeightHint)
    : window_(window), width_(width), height_(height), fullWidthHint_(fullWidthHint), fullHeightHint_(fullHeightHint) {
  const DisplayMode desktop = window_.DesktopMode();
  desktopDepth_ = desktop.bitsPerPixel > 0 ? desktop.bitsPerPixel : 24;
  TModeChoice choice = EnumerateModes(window_.DisplayModes(), width_, height_, fullWidthHint_, fullHeightHint_, desktop);
  modes_ = std::move(choice.modes);
  chosenIndex_ = choice.chosen;
  currentIndex_ = -2;
  SetModeIndex(-1);
}

TScreenManager::~TScreenManager() {
  if (fullScreen_) window_.LeaveFullScreen();
}

void TScreenManager::SetModeIndex(int index) {
  if (index == currentIndex_) return;
  const int previous = currentIndex_;
  currentIndex_ = index;
  if (previous != -2 && (previous < 0) != (index < 0)) {
    surface_.reset();
    if (fullScreen_) window_.LeaveFullScreen(), fullScreen_ = false;
  }
  if (!CreateSurfaces(index) && index >= 0) {
    currentIndex_ = -1;
    CreateSurfaces(-1);
  }
}

bool TScreenManager::CreateSurfaces(int index) {
  if (index < 0) {
    if (fullScreen_) window_.LeaveFullScreen(), fullScreen_ = false;
    depth_ = desktopDepth_ == 15 ? 15 : desktopDepth_ > 16 ? 32 : 16;
  } else {
    if (index >= static_cast<int>(modes_.size())) return false;
    const DisplayMode& mode = modes_[static_cast<size_t>(index)];
    if (!window_.EnterFullScreen(mode)) return false;
    fullScreen_ = true;
    depth_ = mode.bitsPerPixel < 16 || mode.bitsPerPixel == 15 ? 15 : mode.bitsPerPixel == 16 ? 16 : 32;
  }
  surface_ = std::make_unique<TDIBX>(std::max(1, width_), std::max(1, height_), depth_);
  // 15- and 16-bit values mean different colours: the table is built again for the new surface.
  rgbOf16_.clear();
  return true;
}

void TScreenManager::ReleaseSurfaces() {
  surface_.reset();
  if (fullScreen_) window_.LeaveFullScreen(), fullScreen_ = false;
  currentIndex_ = -2;
}

uint32_t TScreenManager::Rgb(uint32_t native) const {
  return depth_ == 32 ? native & 0xFFFFFF : rgbOf16_[native & 0xFFFF];
}

void TScreenManager::Stage(std::span<const TRect> rects, int scale, std::vector<TRect>& staged) {
  TPixelAccess access(*surface_);
  if (!access) return;
  const TRect scene{0, 0, surface_->Width(), surface_->Height()};
  for (const TRect& rect : rects) {
    const TRect r = rect.Intersect(scene);
    if (r.IsEmpty()) continue;
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* row = access.Row(y);
      uint32_t* out = &staging_[static_cast<size_t>(y) * scale * stagingWidth_ + static_cast<size_t>(r.left) * scale];
      for (int x = r.left; x < r.right; ++x) {
        uint32_t v;
        if (depth_ == 32) {
          v = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
        } else {
          v = rgbOf16_[reinterpret_cast<const uint16_t*>(row)[x]];
        }
        for (int k = 0; k < scale; ++k) *out++ = v;
      }
      // The other rows of a scaled row repeat the first one.
      const uint32_t* first = &staging_[static_cast<size_t>(y) * scale * stagingWidth_ + static_cast<size_t>(r.left) * scale];
      for (int k = 1; k < scale; ++k)
        std::copy_n(first, static_cast<size_t>(r.Width()) * scale, &staging_[(static_cast<size_t>(y) * scale + k) * stagingWidth_ + static_cast<size_t>(r.left) * scale]);
    }
    staged.push_back({r.left * scale, r.top * scale, r.right * scale, r.bottom * scale});
  }
}

void TScreenManager::StageStretched(int zw, int zh) {
  // Colour-on-colour stretching: each target pixel takes the nearest source pixel.
  for (int y = 0; y < zh; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y) * surface_->Height() / zh);
    for (int x = 0; x < zw; ++x) {
      const int sx = static_cast<int>(static_cast<int64_t>(x) * surface_->Width() / zw);
      staging_[static_cast<size_t>(y) * zw + x] = Rgb(surface_->GetPixel(sx, sy));
    }
  }
}

void TScreenManager::Present(IScreenScene& scene, TPoint origin) {
  if (!scene.HasComposedSurface()) return;
  if (surface_) {
    if (depth_ != 32 && rgbOf16_.empty()) {
      rgbOf16_.resize(65536);
      for (uint32_t v = 0; v < 65536; ++v) rgbOf16_[v] = surface_->PixelToRgb(v);
    }
    // A zoom that is not positive is shown at 100 %.
    const int zoom = scene.ZoomPercent() > 0 ? scene.ZoomPercent() : 100;
    const int w = surface_->Width(), h = surface_->Height();
    if (zoom % 100 != 0) {
      const int zw = static_cast<int>(static_cast<int64_t>(w) * zoom / 100), zh = static_cast<int>(static_cast<int64_t>(h) * zoom / 100);
      if (zw > 0 && zh > 0) {
        staging_.assign(static_cast<size_t>(zw) * zh, 0);
        stagingWidth_ = zw;
        StageStretched(zw, zh);
        const TRect whole{0, 0, zw, zh};
        window_.PresentRects(staging_.data(), zw, zh, zw * 4, origin, std::span<const TRect>(&whole, 1));
      }
    } else {
      const TRect full = scene.FullUpdateRect();
      std::vector<TRect> rects;
      if (full.IsEmpty()) {
        for (const TRect& r : scene.DirtyRects())
          if (!r.IsEmpty()) rects.push_back(r);
      } else {
        rects.push_back(full);
      }
      const int scale = zoom / 100;
      if (!rects.empty() && scale == 1 && depth_ == 32) {
        // The composing surface is already the window's format: the rectangles go straight up.
        TPixelAccess access(*surface_);
        if (access)
          window_.PresentRects(reinterpret_cast<const uint32_t*>(access.Row(0)), w, h, access.Pitch(), origin, rects);
      } else if (!rects.empty()) {
        const size_t size = static_cast<size_t>(w) * scale * h * scale;
        if (staging_.size() != size || stagingWidth_ != w * scale) staging_.assign(size, 0), stagingWidth_ = w * scale;
        std::vector<TRect> staged;
        Stage(rects, scale, staged);
        window_.PresentRects(staging_.data(), w * scale, h * scale, stagingWidth_ * 4, origin, staged);
      }
    }
  }
  scene.ClearDirtyLists();
}

bool TScreenManager::SaveScreenshot(const std::string& path) {
  if (!surface_ || surface_->IsEmpty()) return false;
  return SavePngFile(*surface_, path);
}

}  // namespace kivo
