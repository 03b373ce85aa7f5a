// TParamVar: a reference value that designates one element of another variable.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "values/param.h"

namespace kivo {

class TParamCollectionItem;

// The handle through which references observe an item: the item clears it when it is freed, so a
// reference to a deleted variable reads as unbound instead of touching freed memory.
struct TItemAnchor {
  TParamCollectionItem* Item = nullptr;
};

class TParamVar final : public TCustomParam {
public:
  explicit TParamVar(TParamCollection* collection = nullptr) : collection_(collection) {}

  std::string VarName;
  uint8_t StreamByte = 0;  // carried by the stream form only
  int32_t ElementIndex = 0;

  TParamCollectionItem* Target() const { return target_ ? target_->Item : nullptr; }
  void SetTarget(TParamCollectionItem* item);
  void ClearTarget() { target_.reset(); }
  TParamCollection* Collection() const { return collection_; }
  void SetCollection(TParamCollection* collection) { collection_ = collection; }

  // Target := FindVar(VarName), failing when there is none; a reference to a reference takes
  // over its element index.
  void ResolveReference();
  // Binds to element [indexes] of the variable `name`, checking the index count and the flat offset.
  void BindElement(const std::string& name, const std::vector<int32_t>& indexes);

  int GetCount() const override;
  void SetCount(int count) override;
  uint8_t ParamType() const override;
  uint8_t StreamKind() const override { return PT_NONE; }
  bool IsReference() const override { return true; }

  bool AsBool() const override { return GetBoolAt(ElementIndex); }
  Extended AsFloat() const override { return GetFloatAt(ElementIndex); }
  int32_t AsInt() const override { return GetIntAt(ElementIndex); }
  std::string AsString() const override { return GetStrAt(ElementIndex); }
  void SetBool(bool value) override { SetBoolAt(ElementIndex, value); }
  void SetFloat(Extended value) override { SetFloatAt(ElementIndex, value); }
  void SetInt(int32_t value) override { SetIntAt(ElementIndex, value); }
  void SetStr(const std::string& value) override { SetStrAt(ElementIndex, value); }

  int32_t GetIntAt(int index) const override;
  void SetIntAt(int index, int32_t value) override;
  Extended GetFloatAt(int index) const override;
  void SetFloatAt(int index, Extended value) override;
  bool GetBoolAt(int index) const override;
  void SetBoolAt(int index, bool value) override;
  std::string GetStrAt(int index) const override;
  void SetStrAt(int index, const std::string& value) override;

  int GetDimCount() const override;
  int GetDim(int index) const override;
  void AssignFrom(const TCustomParam& source) override;
  void SetDims(const std::vector<int32_t>& sizes) override;
  void FillInt(int32_t value) override;
  void FillFloat(Extended value) override;
  void FillBool(bool value) override;
  void FillStr(const std::string& value) override;
  void CopySameKind(const TCustomParam& source) override;
  void SaveToStream(TBinaryWriter& writer) const override;
  void LoadFromStream(TBinaryReader& reader) override;
  void ClearDims() override;
  int IndexOf(const std::string& text, bool caseSensitive, bool partial) const override;

  // The value at the end of the chain of references, or none when a link is unbound (or the
  // chain loops, which hostile save data can produce).
  TCustomParam* Final() const;

private:
  TParamCollection* collection_;
  std::shared_ptr<TItemAnchor> target_;
};

}  // namespace kivo
