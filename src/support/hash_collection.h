// THashCollection / THashCollectionItem: an owning, ordered collection of named items with 256
// hash buckets and case-insensitive (CP932) look-up by name.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kivo {

class THashCollection;

class THashCollectionItem {
public:
  THashCollectionItem() = default;
  virtual ~THashCollectionItem() = default;
  THashCollectionItem(const THashCollectionItem&) = delete;
  THashCollectionItem& operator=(const THashCollectionItem&) = delete;

  const std::string& Name() const { return name_; }
  // A different name (exact comparison) makes the item the newest of its new bucket.
  void SetName(const std::string& name);
  int Hash() const;  // the bucket of its name
  // The item's position in its collection, kept current on every add and delete.
  int CachedIndex() const { return cachedIndex_; }
  THashCollection* Collection() const { return collection_; }

private:
  friend class THashCollection;
  void Unlink();

  THashCollection* collection_ = nullptr;
  std::string name_;
  int cachedIndex_ = -1;
  bool queued_ = false;                                 // named, waiting to be linked
  std::vector<THashCollectionItem*>* chain_ = nullptr;  // the items of its name, while it is linked
};

class THashCollection {
public:
  static constexpr int kBucketCount = 256;

  THashCollection() = default;
  virtual ~THashCollection();
  THashCollection(const THashCollection&) = delete;
  THashCollection& operator=(const THashCollection&) = delete;

  // The bucket of a name: its CP932 lower-case form s of length L gives
  // (L * 16 + (L >= 2 ? s[L-2] + s[0] : 0)) mod 256.
  static int HashOf(std::string_view name);

  int Count() const { return static_cast<int>(items_.size()); }
  THashCollectionItem& Item(int index) const { return *items_.at(static_cast<size_t>(index)); }

  // Appends an item made by CreateItem() and names it.
  THashCollectionItem& AddNamed(const std::string& name);
  // Appends an item of the caller's kind and names it; the collection owns it from then on.
  THashCollectionItem& AddItem(std::unique_ptr<THashCollectionItem> item, const std::string& name);
  template <class T, class... Args>
  T& Add(const std::string& name, Args&&... args) {
    return static_cast<T&>(AddItem(std::make_unique<T>(std::forward<Args>(args)...), name));
  }

  // The CachedIndex of the newest item of the name's bucket whose name matches ignoring case, or -1.
  int IndexOf(std::string_view name) const;
  THashCollectionItem* Find(std::string_view name) const;

  // Frees item index; every later item moves down one place.
  void Delete(int index) { Remove(index); }
  void Clear();

protected:
  // The kind of item AddNamed makes; collections of their own item kind override it.
  virtual std::unique_ptr<THashCollectionItem> CreateItem();
  // Takes item index out like Delete and hands it over, unlinked and free to be added again.
  std::unique_ptr<THashCollectionItem> Remove(int index);
  // The items whose names match ignoring case, in link order (the newest last); empty when none.
  std::span<THashCollectionItem* const> Chain(std::string_view name) const;

private:
  friend class THashCollectionItem;

  // An item enters its bucket when it is named and leaves it when renamed or deleted; the first
  // match of a bucket chain is the most recently linked item of that name. The 256 buckets spread
  // large collections poorly (the hash sees only the length and two bytes), so the chains are
  // kept as a map from the case-folded name to its items in link order: the same answer in O(1).
  // A name's entry stays when its last item leaves, because the same names come and go again at
  // once (every expression execution makes and deletes its temporaries); the empty entries are
  // swept out when they outnumber the others.
  //
  // Naming an item only queues it; the queue is linked, in naming order, before anything reads
  // the chains, which gives the same answers. An expression's temporaries are mostly made and
  // deleted again before any look-up, so they never reach the map. Since a look-up may link the
  // queue, look-ups on one collection must not run on several threads at once.
  struct TFoldedHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const;
  };
  struct TFoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  void Link(THashCollectionItem& item);
  void Unlink(THashCollectionItem& item);
  void LinkQueued() const;

  std::vector<std::unique_ptr<THashCollectionItem>> items_;
  mutable std::unordered_map<std::string, std::vector<THashCollectionItem*>, TFoldedHash, TFoldedEqual> byName_;
  mutable size_t emptyChains_ = 0;
  mutable std::vector<THashCollectionItem*> queued_;
};

}  // namespace kivo
