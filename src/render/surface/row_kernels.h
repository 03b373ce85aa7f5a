// Row loops of the compositing rules over raw 8-, 16- and 32-bit storage: a portable scalar loop
// for every rule and SSE2 / AVX2 loops for the 16- and 32-bit blend, add, masked and fill rules
// and the mirrored copies.
#pragma once

#include <cstdint>

#include "render/surface/pixel_rules.h"

namespace kivo {

enum class TRowRule { Copy, CopyKey, Alpha, Add, Add8, Masked, MaskedAlpha, MaskedAdd, BlendRect, AddRect, SubRect };

// One row of one operation. The destination is walked forwards; the source (and the mask, which
// shares the source's coordinates) by `step` pixels at a time.
struct TRow {
  void* dst = nullptr;
  const void* src = nullptr;  // null: every source pixel is constSource
  uint32_t constSource = 0;
  const uint8_t* mask = nullptr;
  int count = 0;
  int step = 1;
};

// storageBits: 8, 16 or 32.
void RunRow(TRowRule rule, int storageBits, const TPixelParams& params, const TRow& row);

// Which loops run: the widest the processor has by default; tests and benchmarks pick narrower
// ones to compare them with the scalar loops.
enum class TFastPath { Scalar, Sse2, Avx2 };
TFastPath BestFastPath();
TFastPath CurrentFastPath();
// Clamped to what the processor has.
void SetFastPath(TFastPath path);

// The AVX2 loops (their own object file, built for AVX2); Avx2Row returns the pixels it did.
bool Avx2Available();
int Avx2Row(TRowRule rule, int storageBits, const TPixelParams& params, const TRow& row);

}  // namespace kivo
