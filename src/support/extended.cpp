// 10-byte extended encoding: a copy on x87 hosts, sign/exponent/mantissa arithmetic elsewhere.
#include "support/extended.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace kivo {

ExtendedBytes ExtendedToBytesPortable(Extended value) {
  ExtendedBytes out{};
  uint16_t signExp = 0;
  uint64_t mantissa = 0;
  if (std::signbit(value)) {
    signExp = 0x8000;
    value = -value;
  }
  if (std::isnan(value)) {
    signExp |= 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    signExp |= 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    int exp;
    Extended frac = std::frexp(value, &exp);  // value = frac * 2^exp, frac in [0.5, 1)
    int biased = exp - 1 + 16383;
    if (biased <= 0) {  // denormal: the integer bit is clear
      frac = std::ldexp(frac, biased - 1);
      biased = 0;
    }
    mantissa = static_cast<uint64_t>(std::ldexp(frac, 64));
    signExp |= static_cast<uint16_t>(biased);
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  out[8] = static_cast<uint8_t>(signExp);
  out[9] = static_cast<uint8_t>(signExp >> 8);
  return out;
}

Extended BytesToExtendedPortable(const ExtendedBytes& bytes) {
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  uint16_t signExp = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
  bool negative = signExp & 0x8000;
  int exp = signExp & 0x7FFF;
  Extended value;
  if (exp == 0x7FFF) {
    value = (mantissa << 1) == 0 ? std::numeric_limits<Extended>::infinity()
                                 : std::numeric_limits<Extended>::quiet_NaN();
  } else {
    int e = exp == 0 ? 1 - 16383 : exp - 16383;
    value = std::ldexp(static_cast<Extended>(mantissa), e - 63);
  }
  return negative ? -value : value;
}

#if (defined(__x86_64__) || defined(__i386__)) && !defined(KIVO_PORTABLE_EXTENDED)
static_assert(std::numeric_limits<long double>::digits == 64, "x87 extended expected");

ExtendedBytes ExtendedToBytes(Extended value) {
  ExtendedBytes out;
  std::memcpy(out.data(), &value, out.size());
  return out;
}

Extended BytesToExtended(const ExtendedBytes& bytes) {
  Extended value = 0;
  std::memcpy(&value, bytes.data(), bytes.size());
  return value;
}
#else
ExtendedBytes ExtendedToBytes(Extended value) { return ExtendedToBytesPortable(value); }
Extended BytesToExtended(const ExtendedBytes& bytes) { return BytesToExtendedPortable(bytes); }
#endif

}  // namespace kivo
