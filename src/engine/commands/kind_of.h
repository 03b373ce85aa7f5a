// Gives a command class its stored kind code.
#pragma once

namespace kivo {

template <int K, class Base>
class TKindOf : public Base {
public:
  static constexpr int kKind = K;
  int Kind() const override { return K; }
};

}  // namespace kivo
