// TCustomDIBX: clipping, fills, frames and the unscaled draws, all through one clip-and-row loop.
#include "render/surface/custom_dibx.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <optional>

#include "render/surface/device_context.h"
#include "render/surface/picture_codec.h"
#include "render/surface/row_kernels.h"

namespace kivo {

namespace {

constexpr TRect kUnbounded{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};

int Clamp255(int v) { return std::clamp(v, 0, 255); }

TPixelParams ParamsOf(const TCustomDIBX& dst, int param, int64_t key) {
  TPixelParams p;
  p.param = static_cast<uint32_t>(Clamp255(param));
  p.key = key;
  p.masks = {dst.RMask(), dst.GMask(), dst.BMask()};
  return p;
}

int64_t KeyOf(const TCustomDIBX& source, bool useKey) { return useKey && source.TransparentColor >= 0 ? source.TransparentColor : -1; }

bool RawStorage(int bits) { return bits == 8 || bits == 16 || bits == 32; }

// What one operation composes: the destination span, an optional source and mask, and the rule.
struct TCompose {
  TRowRule rowRule;
  TPixelParams params;
  TCustomDIBX* source = nullptr;  // null: every source pixel is constSource
  uint32_t constSource = 0;
  TCustomDIBX* mask = nullptr;
  // Source values go through a table before the rule (indexed draws); indexes matching
  // `tableSkip` are not drawn.
  const uint32_t* table = nullptr;
  uint32_t tableSize = 0;
  int64_t tableKey = -1;
  bool (*tableSkip)(uint32_t index, int64_t key) = nullptr;
};

// The per-pixel reference path, through GetPixel / SetPixel, for every format.
template <TPixelRule R>
void ComposeGeneric(TCustomDIBX& dst, const TDrawSpan& sp, const TCompose& c) {
  for (int row = 0; row < sp.dst.Height(); ++row) {
    const int dy = sp.dst.top + row;
    const int sy = sp.srcY + row * sp.stepY;
    int sx = sp.srcX;
    for (int dx = sp.dst.left; dx < sp.dst.right; ++dx, sx += sp.stepX) {
      uint32_t s = c.source ? c.source->GetPixel(sx, sy) : c.constSource;
      if (c.table) {
        if (s >= c.tableSize || c.tableSkip(s, c.tableKey)) continue;
        s = c.table[s];
      }
      const uint32_t m = c.mask ? (c.mask->GetPixel(sx, sy) & 0xFF) : 0;
      const uint32_t d = dst.GetPixel(dx, dy);
      uint32_t out;
      if (ApplyRule<R>(c.params, d, s, m, out)) dst.SetPixel(dx, dy, out);
    }
  }
}

void ComposeRaw(const TDrawSpan& sp, const TCompose& c, int bits, const TPixelAccess& d, const TPixelAccess* s,
                const TPixelAccess* m) {
  const int bpp = bits / 8;
  for (int row = 0; row < sp.dst.Height(); ++row) {
    const int sy = sp.srcY + row * sp.stepY;
    TRow r;
    r.dst = d.Row(sp.dst.top + row) + static_cast<ptrdiff_t>(sp.dst.left) * bpp;
    r.src = s ? s->Row(sy) + static_cast<ptrdiff_t>(sp.srcX) * bpp : nullptr;
    r.constSource = c.constSource;
    r.mask = m ? m->Row(sy) + sp.srcX : nullptr;
    r.count = sp.dst.Width();
    r.step = sp.stepX;
    RunRow(c.rowRule, bits, c.params, r);
  }
}

template <TPixelRule R>
void RunCompose(TCustomDIBX& dst, const TDrawSpan& sp, const TCompose& c) {
  // Sections open on the destination, then the source and the mask; they close in reverse.
  TPixelAccess d(dst);
  if (!d) return;
  std::optional<TPixelAccess> s, m;
  if (c.source) {
    s.emplace(*c.source);
    if (!*s) return;
  }
  if (c.mask) {
    m.emplace(*c.mask);
    if (!*m) return;
  }
  const int bits = dst.StorageBitCount();
  const bool raw = RawStorage(bits) && !c.table && (!c.source || c.source->StorageBitCount() == bits) &&
                   (!c.mask || c.mask->StorageBitCount() == 8);
  if (raw)
    ComposeRaw(sp, c, bits, d, s ? &*s : nullptr, m ? &*m : nullptr);
  else
    ComposeGeneric<R>(dst, sp, c);
}

void Dispatch(TCustomDIBX& dst, const TDrawSpan& sp, const TCompose& c) {
  switch (c.rowRule) {
    case TRowRule::Copy: RunCompose<rules::kCopy>(dst, sp, c); break;
    case TRowRule::CopyKey: RunCompose<rules::kCopyKey>(dst, sp, c); break;
    case TRowRule::Alpha: RunCompose<rules::kAlpha>(dst, sp, c); break;
    case TRowRule::Add: RunCompose<rules::kAdd>(dst, sp, c); break;
    case TRowRule::Add8: RunCompose<rules::kAdd8>(dst, sp, c); break;
    case TRowRule::Masked: RunCompose<rules::kMasked>(dst, sp, c); break;
    case TRowRule::MaskedAlpha: RunCompose<rules::kMaskedAlpha>(dst, sp, c); break;
    case TRowRule::MaskedAdd: RunCompose<rules::kMaskedAdd>(dst, sp, c); break;
    case TRowRule::BlendRect: RunCompose<rules::kBlendRect>(dst, sp, c); break;
    case TRowRule::AddRect: RunCompose<rules::kAddRect>(dst, sp, c); break;
    case TRowRule::SubRect: RunCompose<rules::kSubRect>(dst, sp, c); break;
  }
}

TRect BoundsOf(const TCustomDIBX& s) { return {0, 0, s.Width(), s.Height()}; }

// An unscaled draw of srcRect of the source (and mask) at (x, y).
void DrawUnscaled(TCustomDIBX& dst, int x, int y, bool flipV, bool flipH, const TRect& srcRect, const TCompose& c) {
  TRect bounds = BoundsOf(c.source ? *c.source : *c.mask);
  if (c.mask) bounds = bounds.Intersect(BoundsOf(*c.mask));
  TDrawSpan sp;
  if (!ClipUnscaled(dst.EffectiveClip(), x, y, srcRect, bounds, flipV, flipH, sp)) return;
  Dispatch(dst, sp, c);
}

// A constant-value operation over a rectangle of the destination.
void ComposeRect(TCustomDIBX& dst, const TRect& rect, TRowRule rule, uint32_t value, int param) {
  TDrawSpan sp;
  sp.dst = rect.Intersect(dst.EffectiveClip());
  if (sp.dst.IsEmpty()) return;
  TCompose c{rule, ParamsOf(dst, param, -1)};
  c.constSource = value;
  Dispatch(dst, sp, c);
}

// The four bands of a frame; the side bands only when the inner height is above 0.
template <class Band>
void FrameBands(const TRect& r, int w, Band band) {
  band(TRect{r.left, r.top, r.right, r.top + w});
  band(TRect{r.left, r.bottom - w, r.right, r.bottom});
  if (r.bottom - r.top - 2 * w > 0) {
    band(TRect{r.left, r.top + w, r.left + w, r.bottom - w});
    band(TRect{r.right - w, r.top + w, r.right, r.bottom - w});
  }
}

uint32_t ValueMaskFor(int bits) {
  switch (bits) {
    case 1: return 1;
    case 4: return 0xF;
    case 8: return 0xFF;
    case 15:
    case 16: return 0xFFFF;
    case 24: return 0xFFFFFF;
    default: return 0xFFFFFFFF;
  }
}

}  // namespace

bool ClipUnscaled(const TRect& clip, int x, int y, const TRect& srcRect, const TRect& srcBounds, bool flipV,
                  bool flipH, TDrawSpan& sp) {
  TRect s = srcRect.Intersect(srcBounds);
  if (s.IsEmpty()) return false;
  // Source pixels cut away land nowhere: move the destination by what was cut on its side.
  x += flipH ? srcRect.right - s.right : s.left - srcRect.left;
  y += flipV ? srcRect.bottom - s.bottom : s.top - srcRect.top;
  const TRect dest{x, y, x + s.Width(), y + s.Height()};
  const TRect c = dest.Intersect(clip);
  if (c.IsEmpty()) return false;
  const int cutL = c.left - dest.left, cutR = dest.right - c.right;
  const int cutT = c.top - dest.top, cutB = dest.bottom - c.bottom;
  s.left += flipH ? cutR : cutL;
  s.right -= flipH ? cutL : cutR;
  s.top += flipV ? cutB : cutT;
  s.bottom -= flipV ? cutT : cutB;
  sp.dst = c;
  sp.stepX = flipH ? -1 : 1;
  sp.stepY = flipV ? -1 : 1;
  sp.srcX = flipH ? s.right - 1 : s.left;
  sp.srcY = flipV ? s.bottom - 1 : s.top;
  return true;
}

int TCustomDIBX::GShift() const { return std::popcount(BMask()); }
int TCustomDIBX::RShift() const { return std::popcount(BMask()) + std::popcount(GMask()); }

void TCustomDIBX::SetSize(int width, int height, int) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
}

TRect TCustomDIBX::EffectiveClip() const {
  const TRect whole{0, 0, Width(), Height()};
  return ClipRect.right != 0 ? ClipRect.Intersect(whole) : whole;
}

void TCustomDIBX::AddClipRect(const TRect& rect) {
  const TRect r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, Width()),
                std::min(rect.bottom, Height())};
  if (r.IsEmpty()) return;
  if (ClipRect.right == 0) {
    ClipRect = r;
    return;
  }
  ClipRect = {std::min(ClipRect.left, r.left), std::min(ClipRect.top, r.top), std::max(ClipRect.right, r.right),
              std::max(ClipRect.bottom, r.bottom)};
}

int32_t TCustomDIBX::ColorToPixel(int32_t color) const {
  if (color < 0) return -1;
  const int bits = BitCount();
  if (bits != 15 && bits != 16 && bits != 32) return color;
  const uint32_t rgb[3] = {static_cast<uint32_t>(color) & 0xFF, (static_cast<uint32_t>(color) >> 8) & 0xFF,
                           (static_cast<uint32_t>(color) >> 16) & 0xFF};
  const uint32_t masks[3] = {RMask(), GMask(), BMask()};
  uint32_t value = 0;
  for (int i = 0; i < 3; ++i) {
    if (!masks[i]) continue;
    const int width = std::popcount(masks[i]);
    const int shift = std::countr_zero(masks[i]);
    value |= ((rgb[i] >> (8 - width)) << shift) & masks[i];
  }
  return static_cast<int32_t>(value);
}

uint32_t TCustomDIBX::PixelToRgb(uint32_t value) const {
  const int bits = BitCount();
  if (bits <= 8) {
    TPaletteEntry e;
    GetPaletteEntries(&e, static_cast<int>(value & 0xFF), 1);
    return static_cast<uint32_t>(e.red) << 16 | static_cast<uint32_t>(e.green) << 8 | e.blue;
  }
  auto widen = [value](uint32_t mask) -> uint32_t {
    if (!mask) return 0;
    const int width = std::popcount(mask);
    uint32_t c = (value & mask) >> std::countr_zero(mask);
    if (width >= 8) return c >> (width - 8);
    uint32_t out = c << (8 - width);
    return out | (out >> width);  // repeat the top bits so that full channels give 255
  };
  return widen(RMask()) << 16 | widen(GMask()) << 8 | widen(BMask());
}

void TCustomDIBX::Fill(uint32_t value) {
  const int storage = StorageBitCount();
  if (storage != 1 && storage != 4 && storage != 8 && storage != 16) {
    FillRect({0, 0, Width(), Height()}, value);
    return;
  }
  // Narrow formats fill whole bytes of every row and ignore the clip rectangle.
  TPixelAccess access(*this);
  if (!access) return;
  const int rowBytes = (Width() * StorageBitCount() + 7) / 8;
  for (int y = 0; y < Height(); ++y) {
    uint8_t* row = access.Row(y);
    switch (StorageBitCount()) {
      case 1: std::memset(row, value ? 0xFF : 0, rowBytes); break;
      case 4: std::memset(row, static_cast<int>((value & 0xF) * 0x11), rowBytes); break;
      case 8: std::memset(row, static_cast<int>(value & 0xFF), rowBytes); break;
      case 16: {
        TRow r;
        r.dst = row;
        r.constSource = value & 0xFFFF;
        r.count = Width();
        RunRow(TRowRule::Copy, 16, TPixelParams{}, r);
        break;
      }
      default: break;
    }
  }
}

void TCustomDIBX::FillRect(const TRect& rect, uint32_t value) {
  ComposeRect(*this, rect, TRowRule::Copy, value & ValueMaskFor(BitCount()), 0);
}

void TCustomDIBX::BlendRect(const TRect& rect, uint32_t value, int alpha) {
  if (alpha <= 0) return;
  ComposeRect(*this, rect, TRowRule::BlendRect, value, alpha);
}

void TCustomDIBX::AddRect(const TRect& rect, uint32_t value) { ComposeRect(*this, rect, TRowRule::AddRect, value, 0); }

void TCustomDIBX::SubRect(const TRect& rect, uint32_t value) { ComposeRect(*this, rect, TRowRule::SubRect, value, 0); }

void TCustomDIBX::FrameRect(const TRect& rect, int width, uint32_t value) {
  FrameBands(rect, width, [&](const TRect& band) { FillRect(band, value); });
}

void TCustomDIBX::BlendFrameRect(const TRect& rect, int width, int alpha, uint32_t value) {
  if (alpha <= 0) return;
  FrameBands(rect, width, [&](const TRect& band) { BlendRect(band, value, alpha); });
}

void TCustomDIBX::AddFrameRect(const TRect& rect, int width, uint32_t value) {
  FrameBands(rect, width, [&](const TRect& band) { AddRect(band, value); });
}

void TCustomDIBX::Assign(TCustomDIBX& source) {
  Draw(0, 0, false, false, false, {0, 0, source.Width(), source.Height()}, source);
}

void TCustomDIBX::Draw(int x, int y, bool flipV, bool flipH, bool useKey, const TRect& srcRect, TCustomDIBX& source) {
  const int64_t key = KeyOf(source, useKey);
  DrawSource(key >= 0 ? TRowRule::CopyKey : TRowRule::Copy, 0, key, x, y, flipV, flipH, srcRect, source, nullptr);
}

void TCustomDIBX::DrawMasked(int x, int y, TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                             TCustomDIBX& source) {
  DrawSource(TRowRule::Masked, 0, -1, x, y, flipV, flipH, srcRect, source, &mask);
}

void TCustomDIBX::DrawAlpha(int x, int y, int alpha, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
                            TCustomDIBX& source) {
  if (alpha > 0) DrawSource(TRowRule::Alpha, alpha, KeyOf(source, useKey), x, y, flipV, flipH, srcRect, source, nullptr);
}

void TCustomDIBX::DrawMaskedAlpha(int x, int y, int alpha, TCustomDIBX& mask, bool flipV, bool flipH,
                                  const TRect& srcRect, TCustomDIBX& source) {
  if (alpha > 0) DrawSource(TRowRule::MaskedAlpha, alpha, -1, x, y, flipV, flipH, srcRect, source, &mask);
}

void TCustomDIBX::DrawAdd(int x, int y, int amount, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
                          TCustomDIBX& source) {
  // Alpha maps add the raw values; the amount only gates the call.
  const TRowRule rule = StorageBitCount() <= 8 ? TRowRule::Add8 : TRowRule::Add;
  if (amount > 0) DrawSource(rule, amount, KeyOf(source, useKey), x, y, flipV, flipH, srcRect, source, nullptr);
}

void TCustomDIBX::DrawMaskedAdd(int x, int y, int amount, TCustomDIBX& mask, bool flipV, bool flipH,
                                const TRect& srcRect, TCustomDIBX& source) {
  if (amount > 0) DrawSource(TRowRule::MaskedAdd, amount, -1, x, y, flipV, flipH, srcRect, source, &mask);
}

void TCustomDIBX::DrawSource(TRowRule rule, int param, int64_t key, int x, int y, bool flipV, bool flipH,
                             const TRect& srcRect, TCustomDIBX& source, TCustomDIBX* mask) {
  TCompose c{rule, ParamsOf(*this, param, key), &source};
  c.mask = mask;
  DrawUnscaled(*this, x, y, flipV, flipH, srcRect, c);
}

void TCustomDIBX::DrawMaskColor(int x, int y, int alpha, uint32_t value, bool flipV, bool flipH, const TRect& srcRect,
                                TCustomDIBX& mask) {
  if (alpha <= 0) return;
  TDrawSpan sp;
  if (!ClipUnscaled(EffectiveClip(), x, y, srcRect, kUnbounded, flipV, flipH, sp)) return;
  // A glyph rectangle that reaches outside its mask draws nothing at all.
  const int lastX = sp.srcX + sp.stepX * (sp.dst.Width() - 1);
  const int lastY = sp.srcY + sp.stepY * (sp.dst.Height() - 1);
  if (std::min(sp.srcX, lastX) < 0 || std::min(sp.srcY, lastY) < 0 || std::max(sp.srcX, lastX) >= mask.Width() ||
      std::max(sp.srcY, lastY) >= mask.Height())
    return;
  TCompose c{TRowRule::MaskedAlpha, ParamsOf(*this, alpha, -1)};
  c.constSource = value;
  c.mask = &mask;
  Dispatch(*this, sp, c);
}

void TCustomDIBX::DrawIndexed4(int x, int y, int alpha, const uint32_t (&table)[16], bool flipV, bool flipH,
                               const TRect& srcRect, TCustomDIBX& source) {
  if (alpha <= 0) return;
  // The table value meets the destination through the alpha rule (skipped where equal); the key
  // is an index and is tested before the table.
  TCompose c{alpha >= 255 ? TRowRule::Copy : TRowRule::Alpha, ParamsOf(*this, alpha, -1), &source};
  c.table = table;
  c.tableSize = 16;
  c.tableKey = source.TransparentColor;
  c.tableSkip = [](uint32_t index, int64_t key) { return static_cast<int64_t>(index) == key; };
  DrawUnscaled(*this, x, y, flipV, flipH, srcRect, c);
}

void TCustomDIBX::DrawIndexedAdd(int x, int y, const uint32_t (&table)[256], bool flipV, bool flipH,
                                 const TRect& srcRect, TCustomDIBX& source) {
  TCompose c{TRowRule::AddRect, ParamsOf(*this, 0, -1), &source};
  c.table = table;
  c.tableSize = 256;
  c.tableKey = source.TransparentColor;
  c.tableSkip = [](uint32_t index, int64_t key) { return static_cast<int64_t>(index & 0xFF) <= key; };
  DrawUnscaled(*this, x, y, flipV, flipH, srcRect, c);
}

void TCustomDIBX::GetPaletteEntries(TPaletteEntry* entries, int, int count) const {
  std::fill_n(entries, std::max(0, count), TPaletteEntry{});
}

void TCustomDIBX::StretchToDC(IDeviceContext& dc, int destX, int destY, int destW, int destH, int srcX, int srcY,
                              int srcW, int srcH) {
  dc.StretchCopy({destX, destY, destX + destW, destY + destH}, *this, {srcX, srcY, srcX + srcW, srcY + srcH});
}

void TCustomDIBX::LoadFromFile(const std::string& fileName) {
  std::optional<TPicture> picture = LoadBmpFile(fileName);
  if (picture) CopyPictureInto(*picture, *this);
}

void TCustomDIBX::LoadFromStream(TStream& stream, int identCode) {
  std::optional<TPicture> picture = DecodePicture(stream, identCode);
  if (picture) CopyPictureInto(*picture, *this);
}

void TCustomDIBX::SaveToFile(const std::string& fileName) { SaveBmpFile(*this, fileName); }

}  // namespace kivo
