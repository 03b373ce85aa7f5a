// The process's random generator behind the scripts' Random: a 32-bit linear congruential
// sequence seeded once at start from the time of day.
#pragma once

#include <cstdint>

namespace kivo {

void SeedProcessRandom(uint32_t seed);
// The seed for a time of day, as milliseconds since midnight.
uint32_t TimeOfDaySeed(int hour, int minute, int second, int millisecond);
// Uniform in 0 .. n-1 (0 when n <= 0).
int32_t ProcessRandom(int32_t n);

}  // namespace kivo
