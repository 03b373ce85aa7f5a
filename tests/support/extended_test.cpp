// The portable 10-byte conversion gives exactly the bytes and values of the x87 copy.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/extended.h"

namespace kivo {
namespace {

TEST(Extended, PortableConversionMatchesTheNativeFormat) {
  using L = std::numeric_limits<Extended>;
  const Extended values[] = {0.0L,        -0.0L,       1.0L,          -2.5L,         1.0L / 3,
                             123456789.125L, 1e300L * 1e300L, L::min(), L::denorm_min(), L::min() / 3,
                             L::max(),    -L::max(),   L::infinity(), -L::infinity(), L::quiet_NaN()};
  for (Extended v : values) {
    SCOPED_TRACE(static_cast<double>(v));
    ExtendedBytes native = ExtendedToBytes(v);
    EXPECT_EQ(ExtendedToBytesPortable(v), native);
    Extended back = BytesToExtendedPortable(native);
    if (std::isnan(v)) {
      EXPECT_TRUE(std::isnan(back));
    } else {
      EXPECT_EQ(back, BytesToExtended(native));
      EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
  }
}

}  // namespace
}  // namespace kivo
