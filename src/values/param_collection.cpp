// TParamCollection: look-up by scope, declaration, deletion, pushed variable sets and the save forms.
#include "values/param_collection.h"

#include <ranges>
#include <unordered_set>

#include "platform/kivo_error.h"
#include "values/param_system.h"
#include "values/value_messages.h"

namespace kivo {

TParamCollectionItem::TParamCollectionItem() : anchor_(std::make_shared<TItemAnchor>()) { anchor_->Item = this; }

TParamCollectionItem::~TParamCollectionItem() { anchor_->Item = nullptr; }

void TParamCollectionItem::SetName(const std::string& name) {
  if (name.empty() || name.find(' ') != std::string::npos || (name[0] >= '0' && name[0] <= '9')) {
    throw EKivoError("\"" + name + kMsgBadNameTail);
  }
  THashCollectionItem::SetName(name);
}

TParamCollection::TParamCollection() {
  for (int id = 0; id < kSystemCount; ++id) {
    auto& item = static_cast<TParamCollectionItem&>(AddNamed(std::string()));
    item.Param = std::make_unique<TParamSystem>(this, static_cast<uint8_t>(id));
    item.isSystem_ = true;
    item.SetName(kSystemNames[id]);
  }
}

TParamCollection::~TParamCollection() = default;

std::unique_ptr<THashCollectionItem> TParamCollection::CreateItem() { return std::make_unique<TParamCollectionItem>(); }

TParamCollectionItem& TParamCollection::AddVar(uint8_t kind) {
  std::unique_ptr<TParamCollectionItem> item;
  if (kind < spares_.size() && !spares_[kind].empty()) {
    item = std::move(spares_[kind].back());
    spares_[kind].pop_back();
    // References still holding the anchor of its deleted life must keep seeing it deleted.
    if (item->anchor_.use_count() > 1) item->anchor_ = std::make_shared<TItemAnchor>();
    item->anchor_->Item = item.get();
  } else {
    item = std::make_unique<TParamCollectionItem>();
    item->Param = CreateParam(kind, this);
    if (item->Param == nullptr) throw EKivoError(kMsgInternal);
  }
  return static_cast<TParamCollectionItem&>(AddItem(std::move(item), std::string()));
}

void TParamCollection::Discard(int index) {
  std::unique_ptr<THashCollectionItem> removed = Remove(index);
  auto& item = static_cast<TParamCollectionItem&>(*removed);
  if (item.isSystem_ || item.Param == nullptr || !item.Param->Renew()) return;
  auto& spares = spares_[item.Param->StreamKind()];
  if (spares.size() >= kSparesPerKind) return;
  // From here on it is what AddVar makes: a new value, no scope, and seen by no reference.
  item.anchor_->Item = nullptr;
  item.ExtraByte = 0;
  item.IsStatus = false;
  item.LocalId = -1;
  item.IsLocal = false;
  std::unique_ptr<TParamCollectionItem> spare(&item);
  removed.release();
  spares.push_back(std::move(spare));
}

// The walk of a name's chain from its newest item back to its oldest is the bucket walk.
TParamCollectionItem* TParamCollection::FindVar(const std::string& name) const {
  TParamCollectionItem* global = nullptr;
  for (THashCollectionItem* linked : Chain(name) | std::views::reverse) {
    auto* item = static_cast<TParamCollectionItem*>(linked);
    if (item->IsLocal) {
      if (item->LocalId == CurrentLocalId) return item;
    } else {
      global = item;
    }
  }
  return global;
}

TParamCollectionItem* TParamCollection::FindInScope(const std::string& name, bool local) const {
  TParamCollectionItem* global = nullptr;
  for (THashCollectionItem* linked : Chain(name) | std::views::reverse) {
    auto* item = static_cast<TParamCollectionItem*>(linked);
    if (item->IsLocal) {
      if (local && item->LocalId == CurrentLocalId) return item;
    } else if (!local) {
      global = item;
    }
  }
  return global;
}

std::unique_ptr<TCustomParam> TParamCollection::MakeCopy(const std::string& name) const {
  TParamCollectionItem* item = FindVar(name);
  if (item == nullptr) return nullptr;
  uint8_t kind = item->Param->ParamType();
  if (kind < PT_INT || kind > PT_STR) throw EKivoError(name + kMsgBadVariableTail);
  std::unique_ptr<TCustomParam> copy = CreateParam(kind);
  copy->CopyFrom(*item->Param);
  return copy;
}

template <class Keep>
void TParamCollection::DeleteUnless(Keep keep) {
  // From the end, so that each delete renumbers only the few kept items behind it.
  for (int i = Count(); i-- > 0;) {
    TParamCollectionItem& item = Var(i);
    if (!item.isSystem_ && !keep(item)) Discard(i);
  }
}

void TParamCollection::DeleteLocals(int32_t depth) {
  DeleteUnless([depth](const TParamCollectionItem& item) { return item.LocalId != depth; });
}

void TParamCollection::LowerLocalsAbove(int32_t depth) {
  for (int i = 0; i < Count(); ++i)
    if (Var(i).LocalId > depth) --Var(i).LocalId;
}

void TParamCollection::ClearVariables() {
  DeleteUnless([](const TParamCollectionItem& item) { return item.IsStatus; });
  TextDelay = 50;
  CursorName.clear();
}

void TParamCollection::DeclareVariable(const std::string& name, uint8_t kind, uint8_t scope,
                                       const std::function<std::unique_ptr<TCustomParam>()>& initialValue) {
  if (name.empty()) throw EKivoError(kMsgNoName);
  TParamCollectionItem* item = FindInScope(name, scope == VS_LOCAL);
  if (item == nullptr) {
    item = &AddVar(kind);
    try {
      item->SetName(name);
    } catch (...) {
      DeleteVar(*item);  // a rejected name must not leave a nameless variable behind
      throw;
    }
    if (scope == VS_AUTO || scope == VS_LOCAL) item->LocalId = CurrentLocalId;
    if (scope == VS_LOCAL) item->IsLocal = true;
    if (scope == VS_STATUS) item->IsStatus = true;
  } else if (item->IsStatus) {
    return;
  }
  if (!initialValue) return;
  std::unique_ptr<TCustomParam> result = initialValue();
  if (result == nullptr) return;
  TCustomParam& value = *item->Param;
  switch (kind) {
    case PT_INT: value.SetInt(result->AsInt()); break;
    case PT_FLOAT: value.SetFloat(result->AsFloat()); break;
    case PT_BOOL: value.SetBool(result->AsBool()); break;
    case PT_STR: value.SetStr(result->AsString()); break;
    default: break;
  }
}

void TParamCollection::PushVars(const std::vector<std::string>& names) {
  std::vector<TParamCollectionItem*> found;
  for (const std::string& name : names) {
    TParamCollectionItem* item = FindVar(name);
    if (item != nullptr && item->Param->StreamKind() != PT_NONE) found.push_back(item);
  }
  auto stream = std::make_unique<TMemoryStream>();
  TBinaryWriter writer(*stream);
  writer.Int32(static_cast<int32_t>(found.size()));
  for (TParamCollectionItem* item : found) {
    writer.Int32(item->Param->StreamKind());
    writer.String(item->Name());
    item->Param->SaveToStream(writer);
  }
  PushStack.push_back(std::move(stream));
}

void TParamCollection::PopVars() {
  if (PushStack.empty()) return;
  std::unique_ptr<TMemoryStream> stream = std::move(PushStack.back());
  PushStack.pop_back();
  stream->SetPosition(0);
  TBinaryReader reader(*stream);
  int32_t count = reader.Count(12);
  for (int32_t i = 0; i < count; ++i) {
    int32_t kind = reader.Int32();
    std::string name = reader.String();
    if (kind < PT_NONE || kind > PT_STR) throw EKivoError(kMsgInternal);
    TParamCollectionItem* item = FindVar(name);
    if (item != nullptr && item->Param->StreamKind() != kind) {
      if (item->isSystem_) {
        // A system variable whose kind has changed since (say "@Result") is never deleted.
        CreateParam(static_cast<uint8_t>(kind), this)->LoadFromStream(reader);
        continue;
      }
      DeleteVar(*item);
      item = nullptr;
    }
    if (item == nullptr) {
      item = &AddVar(static_cast<uint8_t>(kind));
      try {
        item->SetName(name);
      } catch (...) {
        DeleteVar(*item);
        throw;
      }
    }
    item->Param->LoadFromStream(reader);
  }
}

void TParamCollection::WriteEntries(TBinaryWriter& writer, const std::vector<TParamCollectionItem*>& items) const {
  writer.Int32(static_cast<int32_t>(items.size()));
  auto write = [&writer](const TParamCollectionItem& item) {
    writer.Byte(item.Param->StreamKind());
    writer.String(item.Name());
    item.Param->SaveToStream(writer);
    writer.Bool(item.IsStatus);
    writer.Byte(item.ExtraByte);
    writer.Int32(item.LocalId);
    writer.Bool(item.IsLocal);
  };
  // From the end toward the start, again and again; a bound reference waits until its target is
  // written, so that loading can bind it at once. One whose target is not among these (a status
  // or system variable) or that sits in a loop of references is written after all the others.
  std::vector<TParamCollectionItem*> pending = items;
  std::unordered_set<const TParamCollectionItem*> written;
  while (!pending.empty()) {
    bool progress = false;
    for (size_t i = pending.size(); i-- > 0;) {
      TParamCollectionItem* item = pending[i];
      if (item->Param->StreamKind() == PT_NONE) {
        TParamCollectionItem* target = static_cast<const TParamVar&>(*item->Param).Target();
        if (target != nullptr && target != item && written.count(target) == 0) continue;
      }
      write(*item);
      written.insert(item);
      pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
      progress = true;
    }
    if (!progress) {
      for (size_t i = pending.size(); i-- > 0;) write(*pending[i]);
      pending.clear();
    }
  }
}

void TParamCollection::SaveVariables(TStream& stream) const {
  TBinaryWriter writer(stream);
  std::vector<TParamCollectionItem*> items;
  for (int i = 0; i < Count(); ++i) {
    TParamCollectionItem& item = Var(i);
    if (!item.isSystem_ && !item.IsStatus) items.push_back(&item);
  }
  WriteEntries(writer, items);
  writer.Int32(TextDelay);
  writer.String(CursorName);
  writer.String(SelectedText);
  writer.Int32(SelectedIndex);
  writer.String(TempVarName);
  writer.Int32(static_cast<int32_t>(PushStack.size()));
  for (const auto& set : PushStack) {
    const std::vector<uint8_t>& bytes = set->Bytes();
    writer.Bytes(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
}

void TParamCollection::ReadEntries(TBinaryReader& reader, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    uint8_t kind = reader.Byte();
    TParamCollectionItem& item = AddVar(kind);
    try {
      std::string name = reader.String();
      if (!name.empty()) item.SetName(name);
      item.Param->LoadFromStream(reader);
      // The writer always puts the scope fields after the value; they are read for a nameless
      // entry too, so that the entries after it stay in step.
      item.IsStatus = reader.Byte() != 0;
      item.ExtraByte = reader.Byte();
      item.LocalId = reader.Int32();
      item.IsLocal = reader.Byte() != 0;
      if (name.empty()) DeleteVar(item);
    } catch (...) {
      DeleteVar(item);
      throw;
    }
  }
}

std::unique_ptr<TMemoryStream> TParamCollection::ReadPushedSet(TBinaryReader& reader) {
  const int64_t start = reader.Position();
  int32_t count = reader.Count(12);
  for (int32_t i = 0; i < count; ++i) {
    int32_t kind = reader.Int32();
    reader.String();
    if (kind < PT_NONE || kind > PT_STR) throw EKivoError(kMsgInternal);
    CreateParam(static_cast<uint8_t>(kind))->LoadFromStream(reader);
  }
  const int64_t end = reader.Position();
  reader.Stream().SetPosition(start);
  std::vector<uint8_t> bytes = reader.Block(end - start);
  return std::make_unique<TMemoryStream>(std::move(bytes));
}

void TParamCollection::LoadVariables(TStream& stream, int version) {
  TBinaryReader reader(stream);
  DeleteUnless([](const TParamCollectionItem& item) { return item.IsStatus; });
  ReadEntries(reader, reader.Count(1 + 4 + 4 + 7));
  TextDelay = reader.Int32();
  CursorName = reader.String();
  if (version > 102) {
    SelectedText = reader.String();
    SelectedIndex = reader.Int32();
  }
  if (version > 112 && version < 135) {
    std::array<int32_t, 6> format{};
    for (int32_t& v : format) v = reader.Int32();
    Hosts.History->SetHistoryFormat(format);
  }
  if (version > 120) TempVarName = reader.String();
  PushStack.clear();
  if (version >= 139) {
    int32_t sets = reader.Count(4);
    for (int32_t i = 0; i < sets; ++i) PushStack.push_back(ReadPushedSet(reader));
  }
}

void TParamCollection::SaveStatusVariables(TStream& stream) const {
  TBinaryWriter writer(stream);
  std::vector<TParamCollectionItem*> items;
  for (int i = 0; i < Count(); ++i) {
    TParamCollectionItem& item = Var(i);
    if (!item.isSystem_ && item.IsStatus) items.push_back(&item);
  }
  WriteEntries(writer, items);
}

void TParamCollection::LoadStatusVariables(TStream& stream) {
  TBinaryReader reader(stream);
  ReadEntries(reader, reader.Count(1 + 4 + 4 + 7));
}

}  // namespace kivo
