// The AVX2 row loops: the shared vector loops at 256 bits, in an object file built for AVX2 and
// entered only when the processor reports it.
#include <cstring>

#include "render/surface/row_kernels.h"

#if defined(__x86_64__) && defined(KIVO_ROW_KERNELS_AVX2)
#include <immintrin.h>

#include "render/surface/row_kernels_simd.h"

namespace kivo {

namespace {

struct TAvx2 {
  using V = __m256i;
  static constexpr int kPixels32 = 8;
  static constexpr int kPixels16 = 16;
  static V Load(const void* p) { return _mm256_loadu_si256(static_cast<const V*>(p)); }
  static void Store(void* p, V v) { _mm256_storeu_si256(static_cast<V*>(p), v); }
  static V Zero() { return _mm256_setzero_si256(); }
  static V Set16(short v) { return _mm256_set1_epi16(v); }
  static V Set32(int v) { return _mm256_set1_epi32(v); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  // Lanes of `yes` where cond is all ones, of `no` where it is 0.
  static V Select(V cond, V yes, V no) { return _mm256_blendv_epi8(no, yes, cond); }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Mullo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static V Srli16_8(V a) { return _mm256_srli_epi16(a, 8); }
  static V Srl16(V a, int n) { return _mm256_srl_epi16(a, _mm_cvtsi32_si128(n)); }
  static V Sll16(V a, int n) { return _mm256_sll_epi16(a, _mm_cvtsi32_si128(n)); }
  static V Min16(V a, V b) { return _mm256_min_epi16(a, b); }
  static V AddsU8(V a, V b) { return _mm256_adds_epu8(a, b); }
  static V SubsU8(V a, V b) { return _mm256_subs_epu8(a, b); }
  static V SubsU16(V a, V b) { return _mm256_subs_epu16(a, b); }
  static V CmpEq16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }
  static V CmpEq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
  static V Reverse32(V a) { return _mm256_permutevar8x32_epi32(a, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0)); }
  static V Reverse16(V a) {
    // Reversed inside each 128-bit half, then the halves swapped.
    const V pairs = _mm256_setr_epi8(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1,  //
                                     14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1);
    return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(a, pairs), 0x4E);
  }
  // Eight mask bytes, each into both 16-bit halves of a 32-bit lane, picked out of a broadcast.
  static V MaskPairs32(const uint8_t* m) {
    const V forwards = _mm256_setr_epi8(0, -1, 0, -1, 1, -1, 1, -1, 2, -1, 2, -1, 3, -1, 3, -1,  //
                                        4, -1, 4, -1, 5, -1, 5, -1, 6, -1, 6, -1, 7, -1, 7, -1);
    return _mm256_shuffle_epi8(_mm256_set1_epi64x(LoadBytes<int64_t>(m)), forwards);
  }
  static V MaskPairs32Reversed(const uint8_t* m) {
    const V backwards = _mm256_setr_epi8(7, -1, 7, -1, 6, -1, 6, -1, 5, -1, 5, -1, 4, -1, 4, -1,  //
                                         3, -1, 3, -1, 2, -1, 2, -1, 1, -1, 1, -1, 0, -1, 0, -1);
    return _mm256_shuffle_epi8(_mm256_set1_epi64x(LoadBytes<int64_t>(m)), backwards);
  }
  static V Mask16(const uint8_t* m) { return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(m))); }
  static V Mask16Reversed(const uint8_t* m) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
    const __m128i backwards = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm256_cvtepu8_epi16(_mm_shuffle_epi8(bytes, backwards));
  }
};

}  // namespace

bool Avx2Available() { return __builtin_cpu_supports("avx2"); }

int Avx2Row(TRowRule rule, int storageBits, const TPixelParams& p, const TRow& row) {
  return VectorRow<TAvx2>(rule, storageBits, p, row);
}

}  // namespace kivo

#else

namespace kivo {
bool Avx2Available() { return false; }
int Avx2Row(TRowRule, int, const TPixelParams&, const TRow&) { return 0; }
}  // namespace kivo

#endif
