// The process random generator.
#include "support/process_random.h"

#include <atomic>

namespace kivo {
namespace {
std::atomic<uint32_t> g_seed{0};
}

void SeedProcessRandom(uint32_t seed) { g_seed = seed; }

uint32_t TimeOfDaySeed(int hour, int minute, int second, int millisecond) {
  return static_cast<uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
}

int32_t ProcessRandom(int32_t n) {
  uint32_t next = g_seed.load() * 134775813u + 1u;
  g_seed = next;
  if (n <= 0) return 0;
  return static_cast<int32_t>((static_cast<uint64_t>(next) * static_cast<uint32_t>(n)) >> 32);
}

}  // namespace kivo
