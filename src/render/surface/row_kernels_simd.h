// The vector row loops of the compositing rules, written once over a vector-width traits type
// (SSE2: 128 bits, AVX2: 256 bits). Private to the row-kernel sources; everything has internal
// linkage so that each instruction set's copy stays in its own object file.
#pragma once

#include <bit>
#include <cstdint>

#include "render/surface/pixel_rules.h"
#include "render/surface/row_kernels.h"

namespace kivo {
namespace {

template <class T>
inline typename T::V Select(typename T::V cond, typename T::V yes, typename T::V no) {
  return T::Or(T::And(cond, yes), T::AndNot(cond, no));
}

// One channel (or byte) in 16-bit lanes: the new value for destination d, source s, factor f.
template <class T, TCombine C>
inline typename T::V CombineLanes(typename T::V d, typename T::V s, typename T::V f, typename T::V limit) {
  if constexpr (C == TCombine::Blend) {
    // d x (255 - f) + s x f = 255 d + (s - d) x f; the sum is below 65536, so 16-bit wrapping
    // arithmetic gives it exactly with one multiplication.
    const auto d255 = T::Sub16(T::Slli16_8(d), d);
    return T::Srli16_8(T::Add16(d255, T::Mullo16(T::Sub16(s, d), f)));
  } else if constexpr (C == TCombine::AddScaled) {
    return T::Min16(limit, T::Add16(d, T::Srli16_8(T::Mullo16(s, f))));
  } else if constexpr (C == TCombine::AddPlain) {
    return T::Min16(limit, T::Add16(d, s));
  } else if constexpr (C == TCombine::SubPlain) {
    return T::SubsU16(d, s);
  } else {
    return s;
  }
}

// Out-of-range keys can never match a stored value.
inline bool KeyUsable(int64_t key, int64_t maxValue) { return key >= 0 && key <= maxValue; }

// 32-bit rows, T::kPixels32 pixels a step; returns how many pixels were done (the caller's
// scalar loop finishes the row). Forward or constant source only.
template <class T, TPixelRule R>
int VectorRow32(const TPixelParams& p, const TRow& row) {
  using V = typename T::V;
  constexpr int n = T::kPixels32;
  auto* d = static_cast<uint32_t*>(row.dst);
  const auto* s = static_cast<const uint32_t*>(row.src);
  const uint8_t* m = row.mask;
  const V zero = T::Zero();
  const V rgb = T::Set32(0x00FFFFFF);
  const V limit = T::Set16(255);
  const V param = T::Set16(static_cast<short>(p.param));
  const V constSrc = T::Set32(static_cast<int>(row.constSource));
  const bool useKey = R.skipKey && KeyUsable(p.key, 0xFFFFFFFFll);
  const V key = T::Set32(static_cast<int>(static_cast<uint32_t>(p.key)));
  int i = 0;
  for (; i + n <= row.count; i += n) {
    const V dv = T::Load(d + i);
    const V sv = s ? T::Load(s + i) : constSrc;
    V keep = zero, take = zero, fLo = param, fHi = param;
    if constexpr (R.factor != TFactor::Const || R.maskGates) {
      const V m32 = T::Mask32(m + i);  // one 32-bit lane per pixel
      if constexpr (R.maskGates) keep = T::CmpEq32(m32, zero);
      if constexpr (R.fullMaskCopies) take = T::CmpEq32(m32, T::Set32(255));
      V f = m32;
      if constexpr (R.factor == TFactor::MaskScaled) f = T::Srli16_8(T::Mullo16(m32, param));
      const V pairs = T::Or(f, T::Slli32_16(f));  // the factor in both 16-bit halves
      fLo = T::UnpackLo32(pairs, pairs);
      fHi = T::UnpackHi32(pairs, pairs);
    }
    if (useKey) keep = T::Or(keep, T::CmpEq32(sv, key));
    if constexpr (R.skipEqual) keep = T::Or(keep, T::CmpEq32(dv, sv));
    V res;
    if constexpr (R.combine == TCombine::Copy) {
      res = sv;
    } else {
      const V lo = CombineLanes<T, R.combine>(T::UnpackLo8(dv, zero), T::UnpackLo8(sv, zero), fLo, limit);
      const V hi = CombineLanes<T, R.combine>(T::UnpackHi8(dv, zero), T::UnpackHi8(sv, zero), fHi, limit);
      res = T::And(T::PackUs16(lo, hi), rgb);
    }
    if constexpr (R.fullMaskCopies) res = Select<T>(take, sv, res);
    T::Store(d + i, Select<T>(keep, dv, res));
  }
  return i;
}

template <class T, TCombine C>
inline typename T::V CombineChannel16(typename T::V d, typename T::V s, typename T::V f, int shift,
                                      typename T::V bits) {
  const auto dc = T::And(T::Srl16(d, shift), bits);
  const auto sc = T::And(T::Srl16(s, shift), bits);
  return T::Sll16(CombineLanes<T, C>(dc, sc, f, bits), shift);
}

// 16-bit rows, the three channels taken apart through the surface's masks (5-5-5 or 5-6-5).
template <class T, TPixelRule R>
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
  const V constSrc = T::Set16(static_cast<short>(row.constSource));
  const bool useKey = R.skipKey && KeyUsable(p.key, 0xFFFF);
  const V key = T::Set16(static_cast<short>(static_cast<uint16_t>(p.key)));
  int i = 0;
  for (; i + n <= row.count; i += n) {
    const V dv = T::Load(d + i);
    const V sv = s ? T::Load(s + i) : constSrc;
    V keep = zero, take = zero, f = param;
    if constexpr (R.factor != TFactor::Const || R.maskGates) {
      const V m16 = T::Mask16(m + i);  // one 16-bit lane per pixel
      if constexpr (R.maskGates) keep = T::CmpEq16(m16, zero);
      if constexpr (R.fullMaskCopies) take = T::CmpEq16(m16, T::Set16(255));
      f = m16;
      if constexpr (R.factor == TFactor::MaskScaled) f = T::Srli16_8(T::Mullo16(m16, param));
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
    if constexpr (R.fullMaskCopies) res = Select<T>(take, sv, res);
    T::Store(d + i, Select<T>(keep, dv, res));
  }
  return i;
}

// The vector loop of one rule for a row; returns the pixels done.
template <class T>
int VectorRow(TRowRule rule, int storageBits, const TPixelParams& p, const TRow& row) {
  auto run = [&]<TPixelRule R>() { return storageBits == 32 ? VectorRow32<T, R>(p, row) : VectorRow16<T, R>(p, row); };
  switch (rule) {
    case TRowRule::Copy: return run.template operator()<rules::kCopy>();
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
