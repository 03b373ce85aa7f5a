// TTpRandom: the generator and its drawing pool.
#include "support/tp_random.h"

#include "platform/kivo_error.h"

namespace kivo {

void TTpRandom::Reset(int32_t n) {
  size_ = n > 0 ? n : 0;
  remaining_ = size_;
  // Every slot present: node i covers (i - lowbit(i), i], so it holds lowbit(i).
  tree_.assign(static_cast<size_t>(size_) + 1, 0);
  for (int32_t i = 1; i <= size_; ++i) tree_[static_cast<size_t>(i)] = i & -i;
  topBit_ = 1;
  while (topBit_ * 2 <= size_) topBit_ *= 2;
}

int32_t TTpRandom::Next() {
  value_ = value_ * 5u + static_cast<uint32_t>(seed_);
  return static_cast<int32_t>(value_);
}

int32_t TTpRandom::Draw() {
  if (remaining_ <= 0) throw EKivoError("Error:TTpRandom.Draw");
  Next();
  // Find the slot holding the (index+1)-th remaining entry.
  int32_t k = static_cast<int32_t>(value_ % static_cast<uint32_t>(remaining_)) + 1;
  int32_t slot = 0;
  for (int32_t step = topBit_; step > 0; step /= 2) {
    int32_t probe = slot + step;
    if (probe <= size_ && tree_[static_cast<size_t>(probe)] < k) {
      slot = probe;
      k -= tree_[static_cast<size_t>(probe)];
    }
  }
  int32_t found = slot + 1;  // 1-based slot; the pool value of slot s is s - 1
  for (int32_t i = found; i <= size_; i += i & -i) --tree_[static_cast<size_t>(i)];
  --remaining_;
  return found - 1;
}

std::vector<int32_t> TTpRandom::Pool() const {
  std::vector<int32_t> out;
  out.reserve(static_cast<size_t>(remaining_));
  // A slot is present when its prefix count rises over the previous one.
  auto prefix = [&](int32_t i) {
    int32_t sum = 0;
    for (; i > 0; i -= i & -i) sum += tree_[static_cast<size_t>(i)];
    return sum;
  };
  for (int32_t s = 1, before = 0; s <= size_; ++s) {
    int32_t now = prefix(s);
    if (now > before) out.push_back(s - 1);
    before = now;
  }
  return out;
}

}  // namespace kivo
