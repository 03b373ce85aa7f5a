// TParamCollection / TParamCollectionItem: the named variables, their scopes, look-up, pushed sets and save forms.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/binary_io.h"
#include "support/hash_collection.h"
#include "support/stream.h"
#include "values/param.h"
#include "values/param_var.h"
#include "values/system_hosts.h"

namespace kivo {

class TParamCollection;

class TParamCollectionItem : public THashCollectionItem {
public:
  TParamCollectionItem();
  ~TParamCollectionItem() override;

  std::unique_ptr<TCustomParam> Param;
  uint8_t ExtraByte = 0;  // kept with the variable; nothing reads it
  bool IsStatus = false;
  int32_t LocalId = -1;
  bool IsLocal = false;

  bool IsSystem() const { return isSystem_; }
  // Rejects names that are empty, hold a half-width space or begin with a digit.
  void SetName(const std::string& name);
  const std::shared_ptr<TItemAnchor>& Anchor() const { return anchor_; }

private:
  friend class TParamCollection;
  std::shared_ptr<TItemAnchor> anchor_;
  bool isSystem_ = false;
};

// Declaration scopes of the variable declaration command.
enum : uint8_t { VS_GLOBAL = 0, VS_AUTO = 1, VS_LOCAL = 2, VS_STATUS = 3 };

class TParamCollection : public THashCollection {
public:
  static constexpr int kSystemCount = 51;

  // Starts with the 51 system variables, "@Result" to "@StackCount", in the order of their numbers.
  TParamCollection();
  ~TParamCollection() override;

  int32_t CurrentLocalId = 0;  // entries on the call stack, kept current by the call manager
  std::vector<std::unique_ptr<TMemoryStream>> PushStack;
  std::string SelectedText;
  int32_t SelectedIndex = 0;
  int32_t TextDelay = 50;
  std::string CursorName;
  std::string TempVarName;
  // Where the system variables read and write engine state; neutral until a subsystem plugs in.
  TSystemHosts Hosts;

  TParamCollectionItem& Var(int index) const { return static_cast<TParamCollectionItem&>(Item(index)); }

  // Appends an unnamed variable with a new value of that kind; the caller names it.
  TParamCollectionItem& AddVar(uint8_t kind);
  // A current-depth local wins at once; otherwise the oldest non-local of that name; none.
  TParamCollectionItem* FindVar(const std::string& name) const;
  // Only a local of the current depth (local flag) or only a non-local variable.
  TParamCollectionItem* FindInScope(const std::string& name, bool local) const;
  // A free-standing copy of the variable's value, or none when it does not exist.
  std::unique_ptr<TCustomParam> MakeCopy(const std::string& name) const;
  void DeleteVar(TParamCollectionItem& item) { Discard(item.CachedIndex()); }
  void DeleteLocals(int32_t depth);
  // A call-stack entry below the variables of deeper depths went away: they move down by one.
  void LowerLocalsAbove(int32_t depth);
  void ClearVariables();
  // The declaration command: creates or reuses the variable, then stores the initial value (the
  // evaluator's result, when it yields one) converted through the declared kind.
  void DeclareVariable(const std::string& name, uint8_t kind, uint8_t scope,
                       const std::function<std::unique_ptr<TCustomParam>()>& initialValue);

  void PushVars(const std::vector<std::string>& names);
  void PopVars();

  void SaveVariables(TStream& stream) const;
  void LoadVariables(TStream& stream, int version);
  void SaveStatusVariables(TStream& stream) const;
  void LoadStatusVariables(TStream& stream);

protected:
  std::unique_ptr<THashCollectionItem> CreateItem() override;

private:
  // Every expression execution adds its temporaries and deletes them again, so a few deleted
  // variables of each kind whose value is a single element are kept for the next AddVar.
  static constexpr size_t kSparesPerKind = 8;

  // Deletes item index, keeping it as a spare when it qualifies and there is room.
  void Discard(int index);
  template <class Keep>
  void DeleteUnless(Keep keep);
  void WriteEntries(TBinaryWriter& writer, const std::vector<TParamCollectionItem*>& items) const;
  void ReadEntries(TBinaryReader& reader, int32_t count);
  // Reads one pushed set (count, then kind, name and value per entry) and keeps its bytes.
  std::unique_ptr<TMemoryStream> ReadPushedSet(TBinaryReader& reader);

  std::array<std::vector<std::unique_ptr<TParamCollectionItem>>, PT_STR + 1> spares_;  // by value kind
};

}  // namespace kivo
