// TTpRandom: the small linear-congruential generator behind the scrambling permutations and dither orders.
#pragma once

#include <cstdint>
#include <vector>

namespace kivo {

// Value := Value * 5 + Seed (32-bit wrap). Draw() removes a pool entry picked by the new value, so
// after Reset(n) n draws give a permutation of 0 .. n-1. The sequence must stay exactly as it is:
// archives and images scrambled by the authoring tool are unscrambled with it.
class TTpRandom {
public:
  explicit TTpRandom(int32_t seed) : seed_(seed) {}

  int32_t Seed() const { return seed_; }
  int32_t Value() const { return static_cast<int32_t>(value_); }
  void SetValue(int32_t value) { value_ = static_cast<uint32_t>(value); }

  // The pool becomes 0, 1, ..., n-1 (empty for n <= 0).
  void Reset(int32_t n);
  int32_t Next();
  // Removes and returns pool[Value mod pool size]; raises an error on an empty pool.
  int32_t Draw();

  int32_t PoolCount() const { return remaining_; }
  // The entries still in the pool, in pool order.
  std::vector<int32_t> Pool() const;

private:
  int32_t seed_;
  uint32_t value_ = 0;
  // The pool keeps its original slots; a Fenwick tree over "still present" finds the k-th
  // remaining slot in O(log n), so drawing a whole permutation is not quadratic.
  std::vector<int32_t> tree_;
  int32_t size_ = 0;
  int32_t remaining_ = 0;
  int32_t topBit_ = 0;
};

}  // namespace kivo
