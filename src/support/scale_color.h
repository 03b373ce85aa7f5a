// ScaleColor: darkening or brightening a platform colour value channel by channel.
#pragma once

#include <cstdint>

namespace kivo {

// Each of the three low 8-bit channels becomes channel * factor / 256 (truncated, kept within
// 0..255 so a factor above 256 cannot spill into the next channel); the top byte is kept.
int32_t ScaleColor(int32_t rgb, int32_t factor);

}  // namespace kivo
