// Row loops of the compositing rules over raw 8-, 16- and 32-bit storage: a portable scalar loop
// for every rule and SSE2 loops for the 16- and 32-bit blend, add and masked rules.
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

// The SSE2 loops are used when the processor has them and they are enabled (the default);
// tests switch them off to compare against the scalar loops.
bool FastPathsAvailable();
bool FastPathsEnabled();
void SetFastPathsEnabled(bool enabled);

}  // namespace kivo
