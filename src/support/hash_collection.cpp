// THashCollection: bucket chains, CachedIndex upkeep and look-up.
#include "support/hash_collection.h"

#include "platform/kivo_error.h"
#include "support/sjis.h"

namespace kivo {

void THashCollectionItem::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Unlink();
  hash_ = THashCollection::HashOf(name_);
  if (collection_ == nullptr) return;
  THashCollectionItem*& head = collection_->buckets_[static_cast<size_t>(hash_)];
  next_ = head;
  prev_ = nullptr;
  if (head != nullptr) head->prev_ = this;
  head = this;
  linked_ = true;
}

void THashCollectionItem::Unlink() {
  if (!linked_) return;
  if (prev_ != nullptr) {
    prev_->next_ = next_;
  } else {
    collection_->buckets_[static_cast<size_t>(hash_)] = next_;
  }
  if (next_ != nullptr) next_->prev_ = prev_;
  prev_ = next_ = nullptr;
  linked_ = false;
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

THashCollectionItem* THashCollection::Search(std::string_view name) const {
  for (THashCollectionItem* p = buckets_[static_cast<size_t>(HashOf(name))]; p != nullptr; p = p->next_) {
    if (SjisSameText(p->name_, name)) return p;
  }
  return nullptr;
}

int THashCollection::IndexOf(std::string_view name) const {
  THashCollectionItem* p = Search(name);
  return p != nullptr ? p->cachedIndex_ : -1;
}

THashCollectionItem* THashCollection::Find(std::string_view name) const { return Search(name); }

void THashCollection::Delete(int index) {
  if (index < 0 || index >= Count()) throw EKivoError("Error:THashCollection.Delete");
  auto position = items_.begin() + index;
  (*position)->Unlink();
  items_.erase(position);
  for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i) items_[i]->cachedIndex_ = static_cast<int>(i);
}

void THashCollection::Clear() {
  items_.clear();
  buckets_.fill(nullptr);
}

}  // namespace kivo
