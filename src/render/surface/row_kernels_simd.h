// The vector row loops of the compositing rules, written once over a vector-width traits type
// (SSE2: 128 bits, AVX2: 256 bits). Private to the row-kernel sources; everything has internal
// linkage so that each instruction set's copy stays in its own object file.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "render/surface/pixel_rules.h"
#include "render/surface/row_kernels.h"

namespace kivo {
namespace {

// The factor of a rule and 255 minus it, in 16-bit lanes.
template <class T>
struct TFactorLanes {
  typename T::V f, inverse;
};
template <class T>
inline TFactorLanes<T> FactorLanes(typename T::V f) {
  return {f, T::Xor(f, T::Set16(255))};
}

// One channel of 16-bit pixels in 16-bit lanes: the new value for destination d, source s,
// factor f.
template <class T, TCombine C>
inline typename T::V CombineLanes(typename T::V d, typename T::V s, const TFactorLanes<T>& f, typename T::V limit) {
  if constexpr (C == TCombine::Blend) {
    // d x (255 - f) + s x f is below 65536: 16-bit lanes hold it exactly.
    return T::Srli16_8(T::Add16(T::Mullo16(d, f.inverse), T::Mullo16(s, f.f)));
  } else if constexpr (C == TCombine::AddScaled) {
    return T::Min16(limit, T::Add16(d, T::Srli16_8(T::Mullo16(s, f.f))));
  } else if constexpr (C == TCombine::AddPlain) {
    return T::Min16(limit, T::Add16(d, s));
  } else if constexpr (C == TCombine::SubPlain) {
    return T::SubsU16(d, s);
  } else {
    return s;
  }
}

// 32-bit pixels, one per 32-bit lane: the new pixels (fourth byte 0) for destination d, source s
// and factor f (a pixel's factor in both 16-bit halves of its lane). Nothing is unpacked:
// products are taken in 16-bit lanes, of blue and red in the low bytes and of green (and the
// fourth byte) shifted down from the high ones; saturating sums and differences work on the
// bytes directly.
template <class T, TCombine C>
inline typename T::V Combine32(typename T::V d, typename T::V s, const TFactorLanes<T>& f) {
  const auto lowBytes = T::Set16(0x00FF);
  const auto green = T::Set32(0x0000FF00);
  const auto rgb = T::Set32(0x00FFFFFF);
  if constexpr (C == TCombine::Blend) {
    // d x (255 - f) + s x f is below 65536: 16-bit lanes hold it exactly, green's result lands
    // in the high byte.
    const auto blueRed = T::Add16(T::Mullo16(T::And(d, lowBytes), f.inverse), T::Mullo16(T::And(s, lowBytes), f.f));
    const auto greenRest = T::Add16(T::Mullo16(T::Srli16_8(d), f.inverse), T::Mullo16(T::Srli16_8(s), f.f));
    return T::Or(T::Srli16_8(blueRed), T::And(greenRest, green));
  } else if constexpr (C == TCombine::AddScaled) {
    // (f x s) >> 8 of each channel, then a saturating byte sum.
    const auto blueRed = T::Srli16_8(T::Mullo16(T::And(s, lowBytes), f.f));
    const auto greenRest = T::Mullo16(T::Srli16_8(s), f.f);
    return T::And(T::AddsU8(d, T::Or(blueRed, T::And(greenRest, green))), rgb);
  } else if constexpr (C == TCombine::AddPlain) {
    return T::And(T::AddsU8(d, s), rgb);
  } else if constexpr (C == TCombine::SubPlain) {
    return T::And(T::SubsU8(d, s), rgb);
  } else {
    return s;
  }
}

// Out-of-range keys can never match a stored value.
inline bool KeyUsable(int64_t key, int64_t maxValue) { return key >= 0 && key <= maxValue; }

// A few bytes of a mask row as one integer.
template <class U>
inline U LoadBytes(const uint8_t* m) {
  U v;
  std::memcpy(&v, m, sizeof v);
  return v;
}

// The source pixels (one per lane) for destination pixels i, i + 1, ...: read forwards from
// s + i or, when the row is mirrored, backwards from s - i.
template <class T, bool Mirrored, class P>
inline typename T::V LoadSource(const P* s, int i) {
  constexpr int n = static_cast<int>(sizeof(typename T::V) / sizeof(P));
  if constexpr (!Mirrored) return T::Load(s + i);
  else if constexpr (sizeof(P) == 4) return T::Reverse32(T::Load(s - i - (n - 1)));
  else return T::Reverse16(T::Load(s - i - (n - 1)));
}

// The mask values of the same pixels: in both 16-bit halves of each 32-bit lane (MaskPairs32),
// or one per 16-bit lane (Mask16).
template <class T, bool Mirrored>
inline typename T::V LoadMaskPairs32(const uint8_t* m, int i) {
  if constexpr (Mirrored) return T::MaskPairs32Reversed(m - i - (T::kPixels32 - 1));
  else return T::MaskPairs32(m + i);
}
template <class T, bool Mirrored>
inline typename T::V LoadMask16(const uint8_t* m, int i) {
  if constexpr (Mirrored) return T::Mask16Reversed(m - i - (T::kPixels16 - 1));
  else return T::Mask16(m + i);
}

// 32-bit rows, T::kPixels32 pixels a step; returns how many pixels were done (the caller's
// scalar loop finishes the row).
template <class T, TPixelRule R, bool Mirrored>
int VectorRow32(const TPixelParams& p, const TRow& row) {
  using V = typename T::V;
  constexpr int n = T::kPixels32;
  auto* d = static_cast<uint32_t*>(row.dst);
  const auto* s = static_cast<const uint32_t*>(row.src);
  const uint8_t* m = row.mask;
  const V zero = T::Zero();
  const V param = T::Set16(static_cast<short>(p.param));
  const TFactorLanes<T> constFactor = FactorLanes<T>(param);
  const V constSrc = T::Set32(static_cast<int>(row.constSource));
  const bool useKey = R.skipKey && KeyUsable(p.key, 0xFFFFFFFFll);
  const V key = T::Set32(static_cast<int>(static_cast<uint32_t>(p.key)));
  int i = 0;
  for (; i + n <= row.count; i += n) {
    const V dv = T::Load(d + i);
    const V sv = s ? LoadSource<T, Mirrored>(s, i) : constSrc;
    V keep = zero, take = zero;
    TFactorLanes<T> f = constFactor;
    if constexpr (R.factor != TFactor::Const || R.maskGates) {
      const V pairs = LoadMaskPairs32<T, Mirrored>(m, i);
      if constexpr (R.maskGates) keep = T::CmpEq32(pairs, zero);
      if constexpr (R.fullMaskCopies) take = T::CmpEq32(pairs, T::Set32(0x00FF00FF));
      V factor = pairs;
      if constexpr (R.factor == TFactor::MaskScaled) factor = T::Srli16_8(T::Mullo16(pairs, param));
      f = FactorLanes<T>(factor);
    }
    if (useKey) keep = T::Or(keep, T::CmpEq32(sv, key));
    if constexpr (R.skipEqual) keep = T::Or(keep, T::CmpEq32(dv, sv));
    V res = Combine32<T, R.combine>(dv, sv, f);
    if constexpr (R.fullMaskCopies) res = T::Select(take, sv, res);
    T::Store(d + i, T::Select(keep, dv, res));
  }
  return i;
}

template <class T, TCombine C>
inline typename T::V CombineChannel16(typename T::V d, typename T::V s, const TFactorLanes<T>& f, int shift,
                                      typename T::V bits) {
  const auto dc = T::And(T::Srl16(d, shift), bits);
  const auto sc = T::And(T::Srl16(s, shift), bits);
  return T::Sll16(CombineLanes<T, C>(dc, sc, f, bits), shift);
}

// 16-bit rows, the three channels taken apart through the surface's masks (5-5-5 or 5-6-5).
template <class T, TPixelRule R, bool Mirrored>
int VectorRow16(const TPixelParams& p, const TRow& row) {
  using V = typename T::V;
  constexpr int n = T::kPixels16;
  auto* d = static_cast<uint16_t*>(row.dst);
  const auto* s = static_cast<const uint16_t*>(row.src);
  const uint8_t* m = row.mask;
  const V zero = T::Zero();
  auto shiftOf = [](uint32_t mask) { return mask ? std::countr_zero(mask) : 0; };
  const int sr = shiftOf(p.masks.r), sg = shiftOf(p.masks.g), sb = shiftOf(p.masks.b);
  const V br = T::Set16(static_cast<short>(p.masks.r >> sr)), bg = T::Set16(static_cast<short>(p.masks.g >> sg)),
          bb = T::Set16(static_cast<short>(p.masks.b >> sb));
  const V param = T::Set16(static_cast<short>(p.param));
  const TFactorLanes<T> constFactor = FactorLanes<T>(param);
  const V constSrc = T::Set16(static_cast<short>(row.constSource));
  const bool useKey = R.skipKey && KeyUsable(p.key, 0xFFFF);
  const V key = T::Set16(static_cast<short>(static_cast<uint16_t>(p.key)));
  int i = 0;
  for (; i + n <= row.count; i += n) {
    const V dv = T::Load(d + i);
    const V sv = s ? LoadSource<T, Mirrored>(s, i) : constSrc;
    V keep = zero, take = zero;
    TFactorLanes<T> f = constFactor;
    if constexpr (R.factor != TFactor::Const || R.maskGates) {
      const V m16 = LoadMask16<T, Mirrored>(m, i);  // one 16-bit lane per pixel
      if constexpr (R.maskGates) keep = T::CmpEq16(m16, zero);
      if constexpr (R.fullMaskCopies) take = T::CmpEq16(m16, T::Set16(255));
      V factor = m16;
      if constexpr (R.factor == TFactor::MaskScaled) factor = T::Srli16_8(T::Mullo16(m16, param));
      f = FactorLanes<T>(factor);
    }
    if (useKey) keep = T::Or(keep, T::CmpEq16(sv, key));
    if constexpr (R.skipEqual) keep = T::Or(keep, T::CmpEq16(dv, sv));
    V res;
    if constexpr (R.combine == TCombine::Copy) {
      res = sv;
    } else {
      res = T::Or(T::Or(CombineChannel16<T, R.combine>(dv, sv, f, sr, br), CombineChannel16<T, R.combine>(dv, sv, f, sg, bg)),
                  CombineChannel16<T, R.combine>(dv, sv, f, sb, bb));
    }
    if constexpr (R.fullMaskCopies) res = T::Select(take, sv, res);
    T::Store(d + i, T::Select(keep, dv, res));
  }
  return i;
}

// The vector loop of one rule for a row (its source and mask read forwards, or backwards when
// the step is -1); returns the pixels done.
template <class T>
int VectorRow(TRowRule rule, int storageBits, const TPixelParams& p, const TRow& row) {
  auto run = [&]<TPixelRule R>() {
    if (row.step < 0) return storageBits == 32 ? VectorRow32<T, R, true>(p, row) : VectorRow16<T, R, true>(p, row);
    return storageBits == 32 ? VectorRow32<T, R, false>(p, row) : VectorRow16<T, R, false>(p, row);
  };
  switch (rule) {
    case TRowRule::Copy: return run.template operator()<rules::kCopy>();
    case TRowRule::CopyKey: return run.template operator()<rules::kCopyKey>();
    case TRowRule::Alpha: return run.template operator()<rules::kAlpha>();
    case TRowRule::Add: return run.template operator()<rules::kAdd>();
    case TRowRule::Masked: return run.template operator()<rules::kMasked>();
    case TRowRule::MaskedAlpha: return run.template operator()<rules::kMaskedAlpha>();
    case TRowRule::MaskedAdd: return run.template operator()<rules::kMaskedAdd>();
    case TRowRule::BlendRect: return run.template operator()<rules::kBlendRect>();
    case TRowRule::AddRect: return run.template operator()<rules::kAddRect>();
    case TRowRule::SubRect: return run.template operator()<rules::kSubRect>();
    default: return 0;
  }
}

}  // namespace
}  // namespace kivo
