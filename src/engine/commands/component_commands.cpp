// Component records: the masked property expressions in ascending property order.
#include "engine/commands/component_commands.h"

#include "engine/page.h"

namespace kivo {

void TComComponent::Create(const TPage& owner) {
  const TPropertyMask& mask = owner.Mask(Kind());
  for (int id = 0; id < kPropertyIdCount; ++id)
    properties_[static_cast<size_t>(id)] = MaskHas(mask, id) ? std::make_unique<TExpr>() : nullptr;
}

TExpr* TComComponent::Property(int id) const {
  return id >= 0 && id < kPropertyIdCount ? properties_[static_cast<size_t>(id)].get() : nullptr;
}

TExpr& TComComponent::EnsureProperty(int id) {
  auto& slot = properties_.at(static_cast<size_t>(id));
  if (!slot) slot = std::make_unique<TExpr>();
  return *slot;
}

void TComComponent::SerializeRecord(TRecordIO& io) {
  for (auto& slot : properties_)
    if (slot) ExprField(io, *slot);
}

void TComCabinet::SerializeRecord(TRecordIO& io) {
  TComComponent::SerializeRecord(io);
  ExprField(io, target);
  ExprListField(io, items);
}

}  // namespace kivo
