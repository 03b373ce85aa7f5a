// IDeviceContext: the drawing-context operations over a surface (filled shapes for transition
// masks, blits, single pixels), in platform colours; what text and some transitions draw through.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/geometry.h"

namespace kivo {

class TCustomDIBX;

class IDeviceContext {
public:
  virtual ~IDeviceContext() = default;

  virtual TCustomDIBX& Surface() = 0;

  // Colours are platform colours (red in the low byte); -1 means none (nothing drawn).
  virtual void SetPenColor(int32_t color) = 0;
  virtual void SetBrushColor(int32_t color) = 0;

  // Shapes cover the pixels whose centres lie inside; the brush fills, the pen draws the outline.
  virtual void FillRect(const TRect& rect) = 0;
  virtual void Ellipse(const TRect& bounds) = 0;
  // The sector of the ellipse in bounds from the ray through (startX, startY) counter-clockwise
  // to the ray through (endX, endY), both measured from the centre.
  virtual void Pie(const TRect& bounds, int startX, int startY, int endX, int endY) = 0;
  // Filled with the non-zero winding rule.
  virtual void Polygon(std::span<const TPoint> points) = 0;

  virtual int32_t GetPixelColor(int x, int y) = 0;
  virtual void SetPixelColor(int x, int y, int32_t color) = 0;

  // Copies a rectangle of source to (x, y), converting colours between the formats.
  virtual void Copy(int x, int y, TCustomDIBX& source, const TRect& srcRect) = 0;
  // Copies srcRect of source stretched onto destRect, each target pixel taking the nearest source
  // pixel (rows and columns are dropped or repeated, never mixed).
  virtual void StretchCopy(const TRect& destRect, TCustomDIBX& source, const TRect& srcRect) = 0;
};

// The device context of a surface; drawing stays inside the surface and its clip rectangle.
std::unique_ptr<IDeviceContext> CreateSurfaceDC(TCustomDIBX& surface);

}  // namespace kivo
