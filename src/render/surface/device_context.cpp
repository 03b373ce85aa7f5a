// The device context over a pixel surface: scan-converted shapes and format-converting blits.
#include "render/surface/device_context.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "render/surface/custom_dibx.h"

namespace kivo {

namespace {

struct TVertex {
  double x;
  double y;
};

class TSurfaceDC : public IDeviceContext {
public:
  explicit TSurfaceDC(TCustomDIBX& surface) : surface_(surface) {}

  TCustomDIBX& Surface() override { return surface_; }
  void SetPenColor(int32_t color) override { pen_ = color; }
  void SetBrushColor(int32_t color) override { brush_ = color; }

  void FillRect(const TRect& rect) override {
    if (brush_ >= 0) surface_.FillRect(rect, static_cast<uint32_t>(surface_.ColorToPixel(brush_)));
  }

  void Ellipse(const TRect& b) override { Shape(EllipseOutline(b, 0, 2 * std::numbers::pi, false)); }

  void Pie(const TRect& b, int startX, int startY, int endX, int endY) override {
    const double cx = (b.left + b.right) / 2.0, cy = (b.top + b.bottom) / 2.0;
    // Counter-clockwise on the screen is a growing angle with y pointing up.
    const double a0 = std::atan2(cy - startY, startX - cx);
    double a1 = std::atan2(cy - endY, endX - cx);
    if (a1 <= a0) a1 += 2 * std::numbers::pi;
    Shape(EllipseOutline(b, a0, a1, true));
  }

  void Polygon(std::span<const TPoint> points) override {
    std::vector<TVertex> v;
    v.reserve(points.size());
    for (const TPoint& p : points) v.push_back({p.x + 0.5, p.y + 0.5});
    Shape(v);
  }

  int32_t GetPixelColor(int x, int y) override {
    const uint32_t rgb = surface_.PixelToRgb(surface_.GetPixel(x, y));
    return static_cast<int32_t>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
  }

  void SetPixelColor(int x, int y, int32_t color) override {
    if (color >= 0 && surface_.EffectiveClip().Contains(x, y))
      surface_.SetPixel(x, y, static_cast<uint32_t>(surface_.ColorToPixel(color)));
  }

  void Copy(int x, int y, TCustomDIBX& source, const TRect& srcRect) override {
    StretchCopy(TRect::FromSize(x, y, srcRect.Width(), srcRect.Height()), source, srcRect);
  }

  void StretchCopy(const TRect& destRect, TCustomDIBX& source, const TRect& srcRect) override {
    const int dw = destRect.Width(), dh = destRect.Height(), sw = srcRect.Width(), sh = srcRect.Height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    const TRect area = destRect.Intersect(surface_.EffectiveClip());
    const TRect srcBounds{0, 0, source.Width(), source.Height()};
    const bool sameFormat = source.BitCount() == surface_.BitCount() && source.BitCount() > 8;
    for (int y = area.top; y < area.bottom; ++y) {
      const int sy = srcRect.top + static_cast<int>(static_cast<int64_t>(y - destRect.top) * sh / dh);
      for (int x = area.left; x < area.right; ++x) {
        const int sx = srcRect.left + static_cast<int>(static_cast<int64_t>(x - destRect.left) * sw / dw);
        if (!srcBounds.Contains(sx, sy)) continue;
        const uint32_t v = source.GetPixel(sx, sy);
        surface_.SetPixel(x, y, sameFormat ? v : NativeOfRgb(source.PixelToRgb(v)));
      }
    }
  }

private:
  uint32_t NativeOfRgb(uint32_t rgb) const {
    const int32_t color = static_cast<int32_t>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
    if (surface_.BitCount() == 24) return rgb;
    return static_cast<uint32_t>(surface_.ColorToPixel(color));
  }

  static std::vector<TVertex> EllipseOutline(const TRect& b, double a0, double a1, bool withCentre) {
    const double cx = (b.left + b.right) / 2.0, cy = (b.top + b.bottom) / 2.0;
    const double rx = b.Width() / 2.0, ry = b.Height() / 2.0;
    const int steps = std::clamp(static_cast<int>((rx + ry) * (a1 - a0)), 8, 4096);
    std::vector<TVertex> v;
    if (withCentre) v.push_back({cx, cy});
    for (int i = 0; i <= steps; ++i) {
      const double a = a0 + (a1 - a0) * i / steps;
      v.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
    return v;
  }

  // Fills the polygon (non-zero winding, pixel centres) with the brush and outlines it with the pen.
  void Shape(const std::vector<TVertex>& v) {
    if (v.size() < 3) return;
    const TRect clip = surface_.EffectiveClip();
    if (brush_ >= 0) {
      const uint32_t value = static_cast<uint32_t>(surface_.ColorToPixel(brush_));
      double minY = v[0].y, maxY = v[0].y;
      for (const TVertex& p : v) minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
      const int y0 = std::max(clip.top, static_cast<int>(std::floor(minY))), y1 = std::min(clip.bottom, static_cast<int>(std::ceil(maxY)) + 1);
      std::vector<std::pair<double, int>> crossings;
      for (int y = y0; y < y1; ++y) {
        const double sy = y + 0.5;
        crossings.clear();
        for (size_t i = 0; i < v.size(); ++i) {
          const TVertex& a = v[i];
          const TVertex& b = v[(i + 1) % v.size()];
          if ((a.y <= sy) == (b.y <= sy)) continue;
          crossings.push_back({a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y), b.y > a.y ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
          winding += crossings[i].second;
          if (winding == 0) continue;
          const int xa = static_cast<int>(std::ceil(crossings[i].first - 0.5));
          const int xb = static_cast<int>(std::ceil(crossings[i + 1].first - 0.5));
          if (xb > xa) surface_.FillRect({xa, y, xb, y + 1}, value);
        }
      }
    }
    if (pen_ >= 0)
      for (size_t i = 0; i < v.size(); ++i) Line(v[i], v[(i + 1) % v.size()]);
  }

  void Line(const TVertex& a, const TVertex& b) {
    const int steps = static_cast<int>(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y))) + 1;
    for (int i = 0; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      SetPixelColor(static_cast<int>(std::floor(a.x + (b.x - a.x) * t)), static_cast<int>(std::floor(a.y + (b.y - a.y) * t)), pen_);
    }
  }

  TCustomDIBX& surface_;
  int32_t pen_ = -1;
  int32_t brush_ = -1;
};

}  // namespace

std::unique_ptr<IDeviceContext> CreateSurfaceDC(TCustomDIBX& surface) { return std::make_unique<TSurfaceDC>(surface); }

}  // namespace kivo
