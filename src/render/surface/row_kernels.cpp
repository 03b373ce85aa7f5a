// Scalar and SSE2 row loops of the compositing rules; the scalar loops are the reference.
#include "render/surface/row_kernels.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define KIVO_HAVE_SSE2 1
#else
#define KIVO_HAVE_SSE2 0
#endif

namespace kivo {

namespace {

bool fastPaths = KIVO_HAVE_SSE2 != 0;

template <TPixelRule R, typename P>
void ScalarRow(const TPixelParams& p, const TRow& row) {
  auto* d = static_cast<P*>(row.dst);
  const auto* s = static_cast<const P*>(row.src);
  const uint8_t* m = row.mask;
  const int step = row.step;
  if constexpr (R.combine == TCombine::Copy && !R.skipKey) {
    if (!s) {
      std::fill_n(d, row.count, static_cast<P>(row.constSource));
      return;
    }
    if (step == 1) {
      std::memmove(d, s, static_cast<size_t>(row.count) * sizeof(P));
      return;
    }
  }
  if constexpr (R.combine == TCombine::Copy && R.skipKey) {
    // Whole runs of non-key pixels are copied at once.
    if (s && step == 1) {
      int i = 0;
      while (i < row.count) {
        while (i < row.count && static_cast<int64_t>(s[i]) == p.key) ++i;
        int start = i;
        while (i < row.count && static_cast<int64_t>(s[i]) != p.key) ++i;
        if (i > start) std::memmove(d + start, s + start, static_cast<size_t>(i - start) * sizeof(P));
      }
      return;
    }
  }
  ptrdiff_t si = 0;
  for (int i = 0; i < row.count; ++i, si += step) {
    uint32_t sv = s ? s[si] : row.constSource;
    uint32_t mv = m ? m[si] : 0;
    uint32_t out;
    if (ApplyRule<R>(p, d[i], sv, mv, out)) d[i] = static_cast<P>(out);
  }
}

#if KIVO_HAVE_SSE2

inline __m128i Select(__m128i cond, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(cond, yes), _mm_andnot_si128(cond, no));
}

// One channel (or byte lane) in 16-bit lanes: the new value for destination d, source s, factor f.
template <TCombine C>
inline __m128i CombineLanes(__m128i d, __m128i s, __m128i f, __m128i limit) {
  if constexpr (C == TCombine::Blend) {
    const __m128i c255 = _mm_set1_epi16(255);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(c255, f)), _mm_mullo_epi16(s, f)), 8);
  } else if constexpr (C == TCombine::AddScaled) {
    return _mm_min_epi16(limit, _mm_add_epi16(d, _mm_srli_epi16(_mm_mullo_epi16(s, f), 8)));
  } else if constexpr (C == TCombine::AddPlain) {
    return _mm_min_epi16(limit, _mm_add_epi16(d, s));
  } else if constexpr (C == TCombine::SubPlain) {
    return _mm_subs_epu16(d, s);
  } else {
    return s;
  }
}

inline __m128i LoadMask4(const uint8_t* m) {
  uint32_t v;
  std::memcpy(&v, m, 4);
  return _mm_cvtsi32_si128(static_cast<int>(v));
}

inline __m128i LoadMask8(const uint8_t* m) {
  uint64_t v;
  std::memcpy(&v, m, 8);
  return _mm_cvtsi64_si128(static_cast<long long>(v));
}

// Which key value lanes can ever match; out-of-range keys match nothing.
inline bool KeyUsable(int64_t key, int64_t maxValue) { return key >= 0 && key <= maxValue; }

// 4 pixels at a time; the scalar loop finishes the row. Forward source or constant source only.
template <TPixelRule R>
void Sse2Row32(const TPixelParams& p, const TRow& row) {
  auto* d = static_cast<uint32_t*>(row.dst);
  const auto* s = static_cast<const uint32_t*>(row.src);
  const uint8_t* m = row.mask;
  const __m128i zero = _mm_setzero_si128();
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
  const __m128i limit = _mm_set1_epi16(255);
  const __m128i param = _mm_set1_epi16(static_cast<short>(p.param));
  const __m128i constSrc = _mm_set1_epi32(static_cast<int>(row.constSource));
  const bool useKey = R.skipKey && KeyUsable(p.key, 0xFFFFFFFFll);
  const __m128i key = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(p.key)));
  int i = 0;
  for (; i + 4 <= row.count; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = s ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)) : constSrc;
    __m128i keep = zero;
    __m128i take = zero;
    __m128i fLo = param;
    __m128i fHi = param;
    if constexpr (R.factor != TFactor::Const || R.maskGates) {
      const __m128i m16 = _mm_unpacklo_epi8(LoadMask4(m + i), zero);
      const __m128i m32 = _mm_unpacklo_epi16(m16, zero);
      if constexpr (R.maskGates) keep = _mm_cmpeq_epi32(m32, zero);
      if constexpr (R.fullMaskCopies) take = _mm_cmpeq_epi32(m32, _mm_set1_epi32(255));
      __m128i f16 = m16;
      if constexpr (R.factor == TFactor::MaskScaled) f16 = _mm_srli_epi16(_mm_mullo_epi16(m16, param), 8);
      const __m128i pairs = _mm_unpacklo_epi16(f16, f16);
      fLo = _mm_unpacklo_epi32(pairs, pairs);
      fHi = _mm_unpackhi_epi32(pairs, pairs);
    }
    if (useKey) keep = _mm_or_si128(keep, _mm_cmpeq_epi32(sv, key));
    if constexpr (R.skipEqual) keep = _mm_or_si128(keep, _mm_cmpeq_epi32(dv, sv));
    __m128i res;
    if constexpr (R.combine == TCombine::Copy) {
      res = sv;
    } else {
      const __m128i lo = CombineLanes<R.combine>(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(sv, zero), fLo, limit);
      const __m128i hi = CombineLanes<R.combine>(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(sv, zero), fHi, limit);
      res = _mm_and_si128(_mm_packus_epi16(lo, hi), rgb);
    }
    if constexpr (R.fullMaskCopies) res = Select(take, sv, res);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Select(keep, dv, res));
  }
  if (i < row.count) {
    TRow rest = row;
    rest.dst = d + i;
    rest.src = s ? s + i : nullptr;
    rest.mask = m ? m + i : nullptr;
    rest.count = row.count - i;
    ScalarRow<R, uint32_t>(p, rest);
  }
}

struct TLaneChannel {
  int shift;
  __m128i bits;  // the channel's maximum value in each lane
};

inline TLaneChannel LaneChannel(uint32_t mask) {
  int shift = mask ? std::countr_zero(mask) : 0;
  return {shift, _mm_set1_epi16(static_cast<short>(mask >> shift))};
}

template <TCombine C>
inline __m128i CombineChannel16(__m128i d, __m128i s, __m128i f, const TLaneChannel& c) {
  const __m128i shift = _mm_cvtsi32_si128(c.shift);
  const __m128i dc = _mm_and_si128(_mm_srl_epi16(d, shift), c.bits);
  const __m128i sc = _mm_and_si128(_mm_srl_epi16(s, shift), c.bits);
  return _mm_sll_epi16(CombineLanes<C>(dc, sc, f, c.bits), shift);
}

// 8 pixels at a time, the three channels taken apart through the surface's masks (5-5-5 or 5-6-5).
template <TPixelRule R>
void Sse2Row16(const TPixelParams& p, const TRow& row) {
  auto* d = static_cast<uint16_t*>(row.dst);
  const auto* s = static_cast<const uint16_t*>(row.src);
  const uint8_t* m = row.mask;
  const __m128i zero = _mm_setzero_si128();
  const TLaneChannel cr = LaneChannel(p.masks.r), cg = LaneChannel(p.masks.g), cb = LaneChannel(p.masks.b);
  const __m128i param = _mm_set1_epi16(static_cast<short>(p.param));
  const __m128i constSrc = _mm_set1_epi16(static_cast<short>(row.constSource));
  const bool useKey = R.skipKey && KeyUsable(p.key, 0xFFFF);
  const __m128i key = _mm_set1_epi16(static_cast<short>(static_cast<uint16_t>(p.key)));
  int i = 0;
  for (; i + 8 <= row.count; i += 8) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = s ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)) : constSrc;
    __m128i keep = zero;
    __m128i take = zero;
    __m128i f = param;
    if constexpr (R.factor != TFactor::Const || R.maskGates) {
      const __m128i m16 = _mm_unpacklo_epi8(LoadMask8(m + i), zero);
      if constexpr (R.maskGates) keep = _mm_cmpeq_epi16(m16, zero);
      if constexpr (R.fullMaskCopies) take = _mm_cmpeq_epi16(m16, _mm_set1_epi16(255));
      f = m16;
      if constexpr (R.factor == TFactor::MaskScaled) f = _mm_srli_epi16(_mm_mullo_epi16(m16, param), 8);
    }
    if (useKey) keep = _mm_or_si128(keep, _mm_cmpeq_epi16(sv, key));
    if constexpr (R.skipEqual) keep = _mm_or_si128(keep, _mm_cmpeq_epi16(dv, sv));
    __m128i res;
    if constexpr (R.combine == TCombine::Copy) {
      res = sv;
    } else {
      res = _mm_or_si128(_mm_or_si128(CombineChannel16<R.combine>(dv, sv, f, cr), CombineChannel16<R.combine>(dv, sv, f, cg)),
                         CombineChannel16<R.combine>(dv, sv, f, cb));
    }
    if constexpr (R.fullMaskCopies) res = Select(take, sv, res);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Select(keep, dv, res));
  }
  if (i < row.count) {
    TRow rest = row;
    rest.dst = d + i;
    rest.src = s ? s + i : nullptr;
    rest.mask = m ? m + i : nullptr;
    rest.count = row.count - i;
    ScalarRow<R, uint16_t>(p, rest);
  }
}

// The fast loops read the source forwards only; mirrored rows take the scalar loop.
template <TPixelRule R>
bool TrySse2(int storageBits, const TPixelParams& p, const TRow& row) {
  if (!fastPaths || (row.src && row.step != 1) || (row.mask && row.step != 1)) return false;
  if (storageBits == 32) {
    Sse2Row32<R>(p, row);
    return true;
  }
  if (storageBits == 16) {
    Sse2Row16<R>(p, row);
    return true;
  }
  return false;
}

#else

template <TPixelRule R>
bool TrySse2(int, const TPixelParams&, const TRow&) {
  return false;
}

#endif

template <TPixelRule R>
void Run(int storageBits, const TPixelParams& p, const TRow& row, bool fast) {
  if (fast && TrySse2<R>(storageBits, p, row)) return;
  switch (storageBits) {
    case 8: ScalarRow<R, uint8_t>(p, row); break;
    case 16: ScalarRow<R, uint16_t>(p, row); break;
    case 32: ScalarRow<R, uint32_t>(p, row); break;
    default: break;
  }
}

}  // namespace

void RunRow(TRowRule rule, int storageBits, const TPixelParams& p, const TRow& row) {
  if (row.count <= 0) return;
  switch (rule) {
    // Plain copies are memmove already; the vector loops would not beat it.
    case TRowRule::Copy: Run<rules::kCopy>(storageBits, p, row, false); break;
    case TRowRule::CopyKey: Run<rules::kCopyKey>(storageBits, p, row, false); break;
    case TRowRule::Alpha: Run<rules::kAlpha>(storageBits, p, row, true); break;
    case TRowRule::Add: Run<rules::kAdd>(storageBits, p, row, true); break;
    case TRowRule::Add8: Run<rules::kAdd8>(storageBits, p, row, true); break;
    case TRowRule::Masked: Run<rules::kMasked>(storageBits, p, row, true); break;
    case TRowRule::MaskedAlpha: Run<rules::kMaskedAlpha>(storageBits, p, row, true); break;
    case TRowRule::MaskedAdd: Run<rules::kMaskedAdd>(storageBits, p, row, true); break;
    case TRowRule::BlendRect: Run<rules::kBlendRect>(storageBits, p, row, true); break;
    case TRowRule::AddRect: Run<rules::kAddRect>(storageBits, p, row, true); break;
    case TRowRule::SubRect: Run<rules::kSubRect>(storageBits, p, row, true); break;
  }
}

bool FastPathsAvailable() { return KIVO_HAVE_SSE2 != 0; }
bool FastPathsEnabled() { return fastPaths; }
void SetFastPathsEnabled(bool enabled) { fastPaths = enabled && FastPathsAvailable(); }

}  // namespace kivo
