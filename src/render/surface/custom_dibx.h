// TCustomDIBX: the abstract pixel surface with its clipping, fills, blends and unscaled draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/geometry.h"

namespace kivo {

class TStream;
class IDeviceContext;
enum class TRowRule;

// One colour-table entry of an indexed surface.
struct TPaletteEntry {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t reserved = 0;
  bool operator==(const TPaletteEntry&) const = default;
};

class TCustomDIBX {
public:
  TCustomDIBX() = default;
  virtual ~TCustomDIBX() = default;
  TCustomDIBX(const TCustomDIBX&) = delete;
  TCustomDIBX& operator=(const TCustomDIBX&) = delete;

  // Drawing is limited to this rectangle; a right edge of 0 means none (the whole surface).
  TRect ClipRect{};
  // Native value that is transparent when this surface is a drawing source; -1: none.
  int32_t TransparentColor = -1;

  // Storage.
  virtual bool IsEmpty() const { return Width() == 0 || Height() == 0; }
  virtual int BitCount() const { return 0; }
  virtual void SetBitCount(int bits) = 0;
  virtual uint32_t RMask() const = 0;
  virtual uint32_t GMask() const = 0;
  virtual uint32_t BMask() const = 0;
  virtual int Pitch() const = 0;
  virtual uint32_t GetPixel(int x, int y) const = 0;
  virtual void SetPixel(int x, int y, uint32_t value) = 0;
  virtual int BShift() const { return 0; }
  virtual int GShift() const;
  virtual int RShift() const;
  virtual int Height() const { return height_; }
  virtual int Width() const { return width_; }
  virtual TCustomDIBX& Target() { return *this; }
  virtual int StorageBitCount() const = 0;
  virtual void SetSize(int width, int height, int bitCount);
  // Address of pixel (x, y), opening a pixel-access section; null when the pixels cannot be reached.
  virtual uint8_t* PixelAddress(int x, int y) = 0;
  virtual void EndPixelAccess() = 0;
  // The device-context operations over the pixels (text output, mask primitives, blits).
  virtual IDeviceContext* GetDC() = 0;
  virtual void ReleaseDC() = 0;

  // Clipping.
  virtual void ResetClip() { ClipRect = {}; }
  virtual void AddClipRect(const TRect& rect);
  TRect EffectiveClip() const;

  // A platform colour (red in the low byte) as this surface's native value; negative gives -1.
  virtual int32_t ColorToPixel(int32_t color) const;
  // A native value back to 0x00RRGGBB (5- and 6-bit channels widened by repeating their top bits).
  uint32_t PixelToRgb(uint32_t value) const;

  // Fills and frames.
  virtual void Fill(uint32_t value);
  virtual void FillRect(const TRect& rect, uint32_t value);
  virtual void BlendRect(const TRect& rect, uint32_t value, int alpha);
  virtual void AddRect(const TRect& rect, uint32_t value);
  virtual void SubRect(const TRect& rect, uint32_t value);
  virtual void FrameRect(const TRect& rect, int width, uint32_t value);
  virtual void BlendFrameRect(const TRect& rect, int width, int alpha, uint32_t value);
  virtual void AddFrameRect(const TRect& rect, int width, uint32_t value);

  // Whole-surface copy and the unscaled draws. srcRect is in source coordinates; (x, y) is where
  // its top-left corner lands. Masks are 8-bit surfaces in the source's coordinates.
  virtual void Assign(TCustomDIBX& source);
  virtual void Draw(int x, int y, bool flipV, bool flipH, bool useKey, const TRect& srcRect, TCustomDIBX& source);
  virtual void DrawMasked(int x, int y, TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                          TCustomDIBX& source);
  virtual void DrawAlpha(int x, int y, int alpha, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
                         TCustomDIBX& source);
  virtual void DrawMaskedAlpha(int x, int y, int alpha, TCustomDIBX& mask, bool flipV, bool flipH,
                               const TRect& srcRect, TCustomDIBX& source);
  virtual void DrawAdd(int x, int y, int amount, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
                       TCustomDIBX& source);
  virtual void DrawMaskedAdd(int x, int y, int amount, TCustomDIBX& mask, bool flipV, bool flipH,
                             const TRect& srcRect, TCustomDIBX& source);
  // Paints one native colour through an 8-bit mask (text glyphs).
  virtual void DrawMaskColor(int x, int y, int alpha, uint32_t value, bool flipV, bool flipH, const TRect& srcRect,
                             TCustomDIBX& mask);
  // A 4-bit indexed source through a table of 16 native values; indexes equal to the source's
  // TransparentColor are skipped.
  virtual void DrawIndexed4(int x, int y, int alpha, const uint32_t (&table)[16], bool flipV, bool flipH,
                            const TRect& srcRect, TCustomDIBX& source);
  // An 8-bit indexed source added through a table of 256 native values (saturating per channel);
  // indexes at or below the source's TransparentColor are skipped.
  virtual void DrawIndexedAdd(int x, int y, const uint32_t (&table)[256], bool flipV, bool flipH,
                              const TRect& srcRect, TCustomDIBX& source);

  // Pictures. Loading keeps this surface's bit count and leaves it unchanged when the file is
  // missing, not handled or empty; damaged data raises EKivoError.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream, int identCode);
  virtual void SaveToFile(const std::string& fileName);
  virtual void Clear() { SetSize(0, 0, BitCount()); }
  virtual void ReleaseSurface() {}

  // Colour table of indexed surfaces (256 entries); surfaces without one read zeros.
  virtual void GetPalette(TPaletteEntry* entries) const { GetPaletteEntries(entries, 0, 256); }
  virtual void GetPaletteEntries(TPaletteEntry* entries, int start, int count) const;
  virtual void SetPalette(const TPaletteEntry* entries) { SetPaletteEntries(entries, 0, 256); }
  virtual void SetPaletteEntries(const TPaletteEntry*, int, int) {}

  // Copies a source rectangle stretched onto a destination rectangle of a device context.
  virtual void StretchToDC(IDeviceContext& dc, int destX, int destY, int destW, int destH, int srcX, int srcY,
                           int srcW, int srcH);
  virtual void Changed() {}

protected:
  int width_ = 0;
  int height_ = 0;

private:
  // An unscaled draw of a source (and mask) with one of the row rules.
  void DrawSource(TRowRule rule, int param, int64_t key, int x, int y, bool flipV, bool flipH, const TRect& srcRect,
                  TCustomDIBX& source, TCustomDIBX* mask);
};

// The pixel-access bracket: opens the section on construction, closes it on every exit path.
class TPixelAccess {
public:
  explicit TPixelAccess(TCustomDIBX& surface)
      : surface_(surface), base_(surface.PixelAddress(0, 0)), pitch_(surface.Pitch()) {}
  ~TPixelAccess() {
    if (base_) surface_.EndPixelAccess();
  }
  TPixelAccess(const TPixelAccess&) = delete;
  TPixelAccess& operator=(const TPixelAccess&) = delete;

  explicit operator bool() const { return base_ != nullptr; }
  uint8_t* Row(int y) const { return base_ + static_cast<ptrdiff_t>(y) * pitch_; }
  int Pitch() const { return pitch_; }

private:
  TCustomDIBX& surface_;
  uint8_t* base_;
  int pitch_;
};

// Where an unscaled draw lands after clipping: destination rectangle, the source pixel that goes
// to its top-left corner and the source steps (+1, or -1 when mirrored).
struct TDrawSpan {
  TRect dst;
  int srcX = 0;
  int srcY = 0;
  int stepX = 1;
  int stepY = 1;
};

// Clips an unscaled draw of srcRect at (x, y) to `clip`; the source rectangle is first cut to
// `srcBounds`. A cut on one destination side removes source pixels on the same side, or on the
// opposite side when the draw is mirrored along that axis. False when nothing is left.
bool ClipUnscaled(const TRect& clip, int x, int y, const TRect& srcRect, const TRect& srcBounds, bool flipV,
                  bool flipH, TDrawSpan& span);

}  // namespace kivo
