// THashCollection: bucket linking, CachedIndex upkeep and look-up.
#include "support/hash_collection.h"

#include <algorithm>

#include "platform/kivo_error.h"
#include "support/sjis.h"

namespace kivo {

void THashCollectionItem::SetName(const std::string& name) {
  if (name == name_) return;
  Unlink();
  name_ = name;
  if (collection_ != nullptr) collection_->Link(*this);
}

int THashCollectionItem::Hash() const { return THashCollection::HashOf(name_); }

void THashCollectionItem::Unlink() {
  if (queued_ || chain_ != nullptr) collection_->Unlink(*this);
}

size_t THashCollection::TFoldedHash::operator()(std::string_view s) const {
  // FNV-1a over the bytes with every letter folded: trail bytes too, which merely makes names
  // like 0x83 0x41 and 0x83 0x61 share a hash; names equal ignoring case always do.
  uint64_t h = 14695981039346656037ull;
  for (size_t i = 0; i < s.size(); ++i) {
    h = (h ^ static_cast<uint8_t>(AsciiLower(s[i]))) * 1099511628211ull;
  }
  return static_cast<size_t>(h);
}

bool THashCollection::TFoldedEqual::operator()(std::string_view a, std::string_view b) const {
  return a == b || SjisSameText(a, b);  // names are mostly spelt the same way each time
}

THashCollection::~THashCollection() = default;

int THashCollection::HashOf(std::string_view name) {
  size_t length = name.size();
  uint32_t h = static_cast<uint32_t>(length) * 16u;
  if (length >= 2) {
    // Only these two bytes of the lower-cased name matter; the second-to-last one folds only
    // when it is a character of its own, not the trail of a double-byte pair.
    char first = AsciiLower(name[0]);
    char second = IsTrailByteAt(name, length - 2) ? name[length - 2] : AsciiLower(name[length - 2]);
    h += static_cast<uint8_t>(first) + static_cast<uint8_t>(second);
  }
  return static_cast<int>(h % kBucketCount);
}

void THashCollection::Link(THashCollectionItem& item) {
  queued_.push_back(&item);
  item.queued_ = true;
}

void THashCollection::LinkQueued() const {
  for (THashCollectionItem* item : queued_) {
    auto [entry, added] = byName_.try_emplace(item->name_);
    if (!added && entry->second.empty()) --emptyChains_;
    entry->second.push_back(item);
    item->chain_ = &entry->second;  // entries stay in place until they are erased, and only empty ones are
    item->queued_ = false;
  }
  queued_.clear();
}

void THashCollection::Unlink(THashCollectionItem& item) {
  if (item.queued_ && queued_.back() == &item) {
    // The most recently named item (a temporary at the end of its expression) leaves at once.
    queued_.pop_back();
    item.queued_ = false;
    return;
  }
  if (item.queued_) LinkQueued();
  std::vector<THashCollectionItem*>& same = *item.chain_;
  item.chain_ = nullptr;
  same.erase(std::find(same.begin(), same.end(), &item));
  if (!same.empty()) return;
  // A few dozen empty entries cost nothing; beyond that, at most as many as the names in use.
  constexpr size_t kEmptyChainsKept = 64;
  if (++emptyChains_ > kEmptyChainsKept && emptyChains_ * 2 > byName_.size()) {
    std::erase_if(byName_, [](const auto& entry) { return entry.second.empty(); });
    emptyChains_ = 0;
  }
}

std::unique_ptr<THashCollectionItem> THashCollection::CreateItem() {
  return std::make_unique<THashCollectionItem>();
}

THashCollectionItem& THashCollection::AddNamed(const std::string& name) { return AddItem(CreateItem(), name); }

THashCollectionItem& THashCollection::AddItem(std::unique_ptr<THashCollectionItem> item, const std::string& name) {
  if (!item || item->collection_ != nullptr) throw EKivoError("Error:THashCollection.Add");
  THashCollectionItem& added = *item;
  added.collection_ = this;
  added.cachedIndex_ = Count();
  added.name_.clear();
  items_.push_back(std::move(item));
  added.SetName(name);
  return added;
}

std::span<THashCollectionItem* const> THashCollection::Chain(std::string_view name) const {
  if (!queued_.empty()) LinkQueued();
  auto found = byName_.find(name);
  if (found == byName_.end()) return {};
  return found->second;
}

THashCollectionItem* THashCollection::Find(std::string_view name) const {
  std::span<THashCollectionItem* const> same = Chain(name);
  return same.empty() ? nullptr : same.back();
}

int THashCollection::IndexOf(std::string_view name) const {
  THashCollectionItem* item = Find(name);
  return item != nullptr ? item->cachedIndex_ : -1;
}

std::unique_ptr<THashCollectionItem> THashCollection::Remove(int index) {
  if (index < 0 || index >= Count()) throw EKivoError("Error:THashCollection.Delete");
  auto position = items_.begin() + index;
  std::unique_ptr<THashCollectionItem> removed = std::move(*position);
  removed->Unlink();
  removed->collection_ = nullptr;
  removed->cachedIndex_ = -1;
  items_.erase(position);
  for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i) items_[i]->cachedIndex_ = static_cast<int>(i);
  return removed;
}

void THashCollection::Clear() {
  byName_.clear();
  emptyChains_ = 0;
  queued_.clear();
  items_.clear();
}

}  // namespace kivo
