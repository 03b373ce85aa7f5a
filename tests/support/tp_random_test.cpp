// TTpRandom: the exact sequence and the permutation drawn from its pool.
#include "support/tp_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "platform/kivo_error.h"

namespace kivo {
namespace {

TEST(TTpRandom, KnownSequenceForSeedOne) {
  TTpRandom random(1);
  random.Reset(3);
  EXPECT_EQ(random.Pool(), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(random.Draw(), 1);  // value 1, index 1
  EXPECT_EQ(random.Value(), 1);
  EXPECT_EQ(random.Pool(), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(random.Draw(), 0);  // value 6, index 0
  EXPECT_EQ(random.Draw(), 2);  // value 31, index 0
  EXPECT_EQ(random.Value(), 31);
  EXPECT_EQ(random.PoolCount(), 0);
  EXPECT_THROW(random.Draw(), EKivoError);
}

TEST(TTpRandom, NextWrapsAndDrawTakesValueAsUnsigned) {
  TTpRandom random(0x7654321);
  uint32_t expected = 0;
  for (int i = 0; i < 20; ++i) {
    expected = expected * 5u + 0x7654321u;
    EXPECT_EQ(random.Next(), static_cast<int32_t>(expected));
  }
  // A negative value picks by its unsigned form: 0xFFFFFFFF mod 10 = 5.
  TTpRandom negative(-1);
  negative.Reset(10);
  EXPECT_EQ(negative.Draw(), 5);
}

TEST(TTpRandom, DrawsMatchAPlainPoolAndFormAPermutation) {
  // The reference is the pool as a plain list with erase, as the sequence defines it.
  TTpRandom random(12345);
  TTpRandom reference(12345);
  const int n = 5000;
  random.Reset(n);
  std::vector<int32_t> pool(n);
  std::iota(pool.begin(), pool.end(), 0);
  std::vector<int32_t> drawn;
  for (int i = 0; i < n; ++i) {
    uint32_t value = static_cast<uint32_t>(reference.Next());
    size_t index = value % pool.size();
    int32_t want = pool[index];
    pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(index));
    int32_t got = random.Draw();
    ASSERT_EQ(got, want) << "draw " << i;
    drawn.push_back(got);
  }
  std::sort(drawn.begin(), drawn.end());
  for (int i = 0; i < n; ++i) ASSERT_EQ(drawn[static_cast<size_t>(i)], i);
}

}  // namespace
}  // namespace kivo
