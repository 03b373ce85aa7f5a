// The value kind of each numbered object property, which GetProp's result temporary takes.
#pragma once

#include <cstdint>

namespace kivo {

constexpr int kPropertyCount = 165;

// 1 int, 2 float, 3 flag, 4 string, by property number 0..164.
inline constexpr char kPropertyKinds[kPropertyCount + 1] =
    "4441111111111114111111111313131144444444"
    "4414114311411144444444411111144343444411"
    "1314413331111112213434244441111334111111"
    "1441111114111434433311114441443431111131"
    "11111";

// The kind of property `number`, or 0 when there is no such property.
constexpr uint8_t PropertyKind(int number) {
  return number >= 0 && number < kPropertyCount ? static_cast<uint8_t>(kPropertyKinds[number] - '0') : 0;
}

}  // namespace kivo
