// Scalar and SSE2 row loops of the compositing rules and the choice of loop; the scalar loops are the reference.
#include "render/surface/row_kernels.h"
#include "render/surface/row_kernels_simd.h"

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

TFastPath fastPath = BestFastPath();

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

struct TSse2 {
  using V = __m128i;
  static constexpr int kPixels32 = 4;
  static constexpr int kPixels16 = 8;
  static V Load(const void* p) { return _mm_loadu_si128(static_cast<const V*>(p)); }
  static void Store(void* p, V v) { _mm_storeu_si128(static_cast<V*>(p), v); }
  static V Zero() { return _mm_setzero_si128(); }
  static V Set16(short v) { return _mm_set1_epi16(v); }
  static V Set32(int v) { return _mm_set1_epi32(v); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Or(V a, V b) { return _mm_or_si128(a, b); }
  static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
  // Lanes of `yes` where cond is all ones, of `no` where it is 0.
  static V Select(V cond, V yes, V no) { return _mm_or_si128(_mm_and_si128(cond, yes), _mm_andnot_si128(cond, no)); }
  static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
  static V Mullo16(V a, V b) { return _mm_mullo_epi16(a, b); }
  static V Srli16_8(V a) { return _mm_srli_epi16(a, 8); }
  static V Srl16(V a, int n) { return _mm_srl_epi16(a, _mm_cvtsi32_si128(n)); }
  static V Sll16(V a, int n) { return _mm_sll_epi16(a, _mm_cvtsi32_si128(n)); }
  static V Min16(V a, V b) { return _mm_min_epi16(a, b); }
  static V AddsU8(V a, V b) { return _mm_adds_epu8(a, b); }
  static V SubsU8(V a, V b) { return _mm_subs_epu8(a, b); }
  static V SubsU16(V a, V b) { return _mm_subs_epu16(a, b); }
  static V CmpEq16(V a, V b) { return _mm_cmpeq_epi16(a, b); }
  static V CmpEq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
  static V Reverse32(V a) { return _mm_shuffle_epi32(a, _MM_SHUFFLE(0, 1, 2, 3)); }
  static V Reverse16(V a) {
    return _mm_shuffle_epi32(_mm_shufflehi_epi16(_mm_shufflelo_epi16(a, 0x1B), 0x1B), _MM_SHUFFLE(1, 0, 3, 2));
  }
  static V MaskPairs32(const uint8_t* m) { return Pairs32(LoadBytes<uint32_t>(m)); }
  static V MaskPairs32Reversed(const uint8_t* m) { return Pairs32(__builtin_bswap32(LoadBytes<uint32_t>(m))); }
  static V Mask16(const uint8_t* m) { return Widen16(LoadBytes<uint64_t>(m)); }
  static V Mask16Reversed(const uint8_t* m) { return Widen16(__builtin_bswap64(LoadBytes<uint64_t>(m))); }
  // Four bytes, each into both 16-bit halves of a 32-bit lane; eight bytes into 16-bit lanes (the
  // first byte into the first lane).
  static V Pairs32(uint32_t bytes) {
    const V words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bytes)), Zero());
    return _mm_unpacklo_epi16(words, words);
  }
  static V Widen16(uint64_t bytes) {
    return _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(bytes)), Zero());
  }
};

#endif

// The widest vector loop the processor has; the scalar loop finishes what it leaves.
int VectorRowAny(TRowRule rule, int storageBits, const TPixelParams& p, const TRow& row) {
  if (fastPath == TFastPath::Avx2) return Avx2Row(rule, storageBits, p, row);
#if KIVO_HAVE_SSE2
  return VectorRow<TSse2>(rule, storageBits, p, row);
#else
  return 0;
#endif
}

template <TPixelRule R>
bool TryVector(int storageBits, const TPixelParams& p, const TRow& row, TRowRule rule) {
  // The vector loops read the source forwards or backwards, one pixel at a time.
  if (fastPath == TFastPath::Scalar || (storageBits != 16 && storageBits != 32) || (row.step != 1 && row.step != -1))
    return false;
  const int done = VectorRowAny(rule, storageBits, p, row);
  if (done < row.count) {
    TRow rest = row;
    const int bpp = storageBits / 8;
    const ptrdiff_t srcDone = static_cast<ptrdiff_t>(done) * row.step;
    rest.dst = static_cast<uint8_t*>(row.dst) + static_cast<ptrdiff_t>(done) * bpp;
    rest.src = row.src ? static_cast<const uint8_t*>(row.src) + srcDone * bpp : nullptr;
    rest.mask = row.mask ? row.mask + srcDone : nullptr;
    rest.count = row.count - done;
    if (storageBits == 32)
      ScalarRow<R, uint32_t>(p, rest);
    else
      ScalarRow<R, uint16_t>(p, rest);
  }
  return true;
}

template <TPixelRule R>
void Run(int storageBits, const TPixelParams& p, const TRow& row, bool fast, TRowRule rule) {
  if (fast && TryVector<R>(storageBits, p, row, rule)) return;
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
    // Forward copies of a source are memmove already (with a key: runs of memmove); constant
    // fills and mirrored copies take the vector loop.
    case TRowRule::Copy: Run<rules::kCopy>(storageBits, p, row, row.src == nullptr || row.step != 1, rule); break;
    case TRowRule::CopyKey: Run<rules::kCopyKey>(storageBits, p, row, row.step != 1, rule); break;
    case TRowRule::Alpha: Run<rules::kAlpha>(storageBits, p, row, true, rule); break;
    case TRowRule::Add: Run<rules::kAdd>(storageBits, p, row, true, rule); break;
    case TRowRule::Add8: Run<rules::kAdd8>(storageBits, p, row, true, rule); break;
    case TRowRule::Masked: Run<rules::kMasked>(storageBits, p, row, true, rule); break;
    case TRowRule::MaskedAlpha: Run<rules::kMaskedAlpha>(storageBits, p, row, true, rule); break;
    case TRowRule::MaskedAdd: Run<rules::kMaskedAdd>(storageBits, p, row, true, rule); break;
    case TRowRule::BlendRect: Run<rules::kBlendRect>(storageBits, p, row, true, rule); break;
    case TRowRule::AddRect: Run<rules::kAddRect>(storageBits, p, row, true, rule); break;
    case TRowRule::SubRect: Run<rules::kSubRect>(storageBits, p, row, true, rule); break;
  }
}

TFastPath BestFastPath() {
  if (Avx2Available()) return TFastPath::Avx2;
  return KIVO_HAVE_SSE2 ? TFastPath::Sse2 : TFastPath::Scalar;
}

TFastPath CurrentFastPath() { return fastPath; }

void SetFastPath(TFastPath path) { fastPath = std::min(path, BestFastPath()); }

}  // namespace kivo
