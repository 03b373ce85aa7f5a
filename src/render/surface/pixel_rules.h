// The per-pixel compositing rules of every drawing operation: the reference formulas that the
// fast row loops must reproduce bit for bit.
#pragma once

#include <algorithm>
#include <cstdint>

namespace kivo {

// Channel masks of a native pixel value (red, green, blue).
struct TChannelMasks {
  uint32_t r = 0;
  uint32_t g = 0;
  uint32_t b = 0;
};

// How a destination pixel d and a source pixel s give the new pixel (per channel M):
//   Copy      s as stored
//   Blend     ((d and M) x (255 - f) + f x (s and M)) >> 8
//   AddScaled min(M, (d and M) + (((f x (s and M)) >> 8) and M))
//   AddPlain  min(M, (d and M) + (s and M))
//   SubPlain  max(0, (d and M) - (s and M))
enum class TCombine : uint8_t { Copy, Blend, AddScaled, AddPlain, SubPlain };

// Where the factor f comes from: the operation's alpha or amount, the mask value m, or (param x m) >> 8.
enum class TFactor : uint8_t { Const, Mask, MaskScaled };

struct TPixelRule {
  TCombine combine = TCombine::Copy;
  TFactor factor = TFactor::Const;
  bool skipKey = false;         // a source pixel equal to the key is not drawn
  bool skipEqual = false;       // a destination already equal to the source stays (no drift)
  bool maskGates = false;       // mask 0 leaves the destination
  bool fullMaskCopies = false;  // mask 255 stores the source unchanged
};

// The run-time inputs of a rule.
struct TPixelParams {
  uint32_t param = 0;  // alpha or amount, 0..255
  int64_t key = -1;    // transparent native value of the source; -1: none
  TChannelMasks masks;
};

namespace rules {
inline constexpr TPixelRule kCopy{TCombine::Copy};
inline constexpr TPixelRule kCopyKey{TCombine::Copy, TFactor::Const, true};
inline constexpr TPixelRule kAlpha{TCombine::Blend, TFactor::Const, true, true};
inline constexpr TPixelRule kAdd{TCombine::AddScaled, TFactor::Const, true};
inline constexpr TPixelRule kAdd8{TCombine::AddPlain, TFactor::Const, true};
inline constexpr TPixelRule kMasked{TCombine::Blend, TFactor::Mask, false, false, true, true};
// Also the rule of painting one colour through a glyph mask (the source is that colour).
inline constexpr TPixelRule kMaskedAlpha{TCombine::Blend, TFactor::MaskScaled, false, false, true};
inline constexpr TPixelRule kMaskedAdd{TCombine::AddScaled, TFactor::MaskScaled, false, false, true};
inline constexpr TPixelRule kBlendRect{TCombine::Blend, TFactor::Const, false, true};
inline constexpr TPixelRule kAddRect{TCombine::AddPlain};
inline constexpr TPixelRule kSubRect{TCombine::SubPlain};
}  // namespace rules

inline uint32_t CombineChannel(TCombine combine, uint32_t d, uint32_t s, uint32_t f, uint32_t mask) {
  const uint32_t dm = d & mask;
  const uint32_t sm = s & mask;
  switch (combine) {
    case TCombine::Copy: return sm;
    case TCombine::Blend: return ((dm * (255 - f) + f * sm) >> 8) & mask;
    case TCombine::AddScaled: return std::min(mask, dm + (((f * sm) >> 8) & mask));
    case TCombine::AddPlain: return std::min(mask, dm + sm);
    case TCombine::SubPlain: return dm > sm ? dm - sm : 0;
  }
  return dm;
}

// Applies the rule to one pixel; false when the destination stays as it is.
template <TPixelRule R>
inline bool ApplyRule(const TPixelParams& p, uint32_t d, uint32_t s, uint32_t m, uint32_t& out) {
  if (R.maskGates && m == 0) return false;
  if (R.skipKey && static_cast<int64_t>(s) == p.key) return false;
  if (R.skipEqual && d == s) return false;
  if (R.combine == TCombine::Copy || (R.fullMaskCopies && m == 255)) {
    out = s;
    return true;
  }
  uint32_t f = p.param;
  if (R.factor == TFactor::Mask) f = m;
  if (R.factor == TFactor::MaskScaled) f = (p.param * m) >> 8;
  out = CombineChannel(R.combine, d, s, f, p.masks.r) | CombineChannel(R.combine, d, s, f, p.masks.g) |
        CombineChannel(R.combine, d, s, f, p.masks.b);
  return true;
}

}  // namespace kivo
