// ScaleColor.
#include "support/scale_color.h"

#include <algorithm>

namespace kivo {

int32_t ScaleColor(int32_t rgb, int32_t factor) {
  uint32_t in = static_cast<uint32_t>(rgb);
  uint32_t out = in & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    int64_t channel = static_cast<int64_t>((in >> shift) & 0xFF) * factor / 256;
    out |= static_cast<uint32_t>(std::clamp<int64_t>(channel, 0, 255)) << shift;
  }
  return static_cast<int32_t>(out);
}

}  // namespace kivo
