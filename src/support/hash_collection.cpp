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
  hash_ = THashCollection::HashOf(name_);
  if (collection_ != nullptr) collection_->Link(*this);
}

void THashCollectionItem::Unlink() {
  if (linked_) collection_->Unlink(*this);
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
  return SjisSameText(a, b);
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
  byName_[item.name_].push_back(&item);
  item.linked_ = true;
}

void THashCollection::Unlink(THashCollectionItem& item) {
  auto found = byName_.find(std::string_view(item.name_));
  if (found != byName_.end()) {
    std::vector<THashCollectionItem*>& same = found->second;
    same.erase(std::find(same.begin(), same.end(), &item));
    if (same.empty()) byName_.erase(found);
  }
  item.linked_ = false;
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

THashCollectionItem* THashCollection::Find(std::string_view name) const {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second.back();
}

int THashCollection::IndexOf(std::string_view name) const {
  THashCollectionItem* item = Find(name);
  return item != nullptr ? item->cachedIndex_ : -1;
}

void THashCollection::Delete(int index) {
  if (index < 0 || index >= Count()) throw EKivoError("Error:THashCollection.Delete");
  auto position = items_.begin() + index;
  (*position)->Unlink();
  items_.erase(position);
  for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i) items_[i]->cachedIndex_ = static_cast<int>(i);
}

void THashCollection::Clear() {
  byName_.clear();
  items_.clear();
}

}  // namespace kivo
