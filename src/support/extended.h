// 80-bit extended floating values as the data files store them: 10 bytes, little-endian.
#pragma once

#include <array>
#include <cstdint>

namespace kivo {

using Extended = long double;
using ExtendedBytes = std::array<uint8_t, 10>;

ExtendedBytes ExtendedToBytes(Extended value);
Extended BytesToExtended(const ExtendedBytes& bytes);

// The portable conversions, used where long double is not the x87 format; exposed for tests.
ExtendedBytes ExtendedToBytesPortable(Extended value);
Extended BytesToExtendedPortable(const ExtendedBytes& bytes);

}  // namespace kivo
