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
  static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V Mullo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static V Srli16_8(V a) { return _mm256_srli_epi16(a, 8); }
  static V Slli16_8(V a) { return _mm256_slli_epi16(a, 8); }
  static V Slli32_16(V a) { return _mm256_slli_epi32(a, 16); }
  static V Srl16(V a, int n) { return _mm256_srl_epi16(a, _mm_cvtsi32_si128(n)); }
  static V Sll16(V a, int n) { return _mm256_sll_epi16(a, _mm_cvtsi32_si128(n)); }
  static V Min16(V a, V b) { return _mm256_min_epi16(a, b); }
  static V SubsU16(V a, V b) { return _mm256_subs_epu16(a, b); }
  static V CmpEq16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }
  static V CmpEq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
  // Unpacks and packs work inside each 128-bit half, so pixels keep their places end to end.
  static V UnpackLo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V UnpackHi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V UnpackLo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
  static V UnpackHi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
  static V PackUs16(V a, V b) { return _mm256_packus_epi16(a, b); }
  static V Mask32(const uint8_t* m) {
    uint64_t v;
    std::memcpy(&v, m, 8);
    return _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(v)));
  }
  static V Mask16(const uint8_t* m) { return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(m))); }
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
