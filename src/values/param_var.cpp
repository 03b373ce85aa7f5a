// TParamVar: forwarding to the bound element, binding by name and by indexes, stream form.
#include "values/param_var.h"

#include "platform/kivo_error.h"
#include "values/param_collection.h"
#include "values/value_messages.h"

namespace kivo {

void TParamVar::SetTarget(TParamCollectionItem* item) {
  if (item == nullptr) target_.reset();
  else target_ = item->Anchor();
}

TCustomParam* TParamVar::Final() const {
  const TParamVar* link = this;
  // Longer chains than this do not occur in games; a loop must not recurse forever.
  for (int hop = 0; hop < 64; ++hop) {
    TParamCollectionItem* item = link->Target();
    if (item == nullptr || item->Param == nullptr) return nullptr;
    TCustomParam* value = item->Param.get();
    if (!value->IsReference()) return value;
    link = static_cast<const TParamVar*>(value);
  }
  return nullptr;
}

void TParamVar::ResolveReference() {
  TParamCollectionItem* item = collection_ != nullptr ? collection_->FindVar(VarName) : nullptr;
  if (item == nullptr) throw EKivoError("\"" + VarName + kMsgNoVariableTail);
  SetTarget(item);
  if (item->Param != nullptr && item->Param->IsReference()) {
    ElementIndex = static_cast<const TParamVar&>(*item->Param).ElementIndex;
  }
}

void TParamVar::BindElement(const std::string& name, const std::vector<int32_t>& indexes) {
  VarName = name;
  ResolveReference();
  const std::string shown = name + "[" + JoinInts(indexes) + "]\r\n";
  TCustomParam* value = Target()->Param.get();
  if (static_cast<int>(indexes.size()) != value->GetDimCount()) throw EKivoError(shown + kMsgBadSubscripts);
  // Only the total is checked: an inner index past its own dimension lands on a later element.
  int64_t offset = 0, stride = 1;
  for (size_t j = indexes.size(); j-- > 0;) {
    offset += static_cast<int64_t>(indexes[j]) * stride;
    stride *= value->GetDim(static_cast<int>(j));
    // Clamp so that hostile dimension lists cannot overflow; the result is out of range anyway.
    if (stride > INT32_MAX || stride < INT32_MIN) stride = stride > 0 ? INT32_MAX : INT32_MIN;
    if (offset > INT64_MAX / 4 || offset < INT64_MIN / 4) break;
  }
  if (offset >= value->GetCount()) throw EKivoError(shown + kMsgTooManyElements);
  // A negative offset is reported by the element access that uses it.
  ElementIndex = offset < INT32_MIN ? INT32_MIN : static_cast<int32_t>(offset);
}

int TParamVar::GetCount() const {
  TCustomParam* value = Final();
  return value != nullptr ? value->GetCount() : 0;
}
void TParamVar::SetCount(int count) {
  if (TCustomParam* value = Final()) value->SetCount(count);
}
uint8_t TParamVar::ParamType() const {
  TCustomParam* value = Final();
  return value != nullptr ? value->ParamType() : static_cast<uint8_t>(PT_NONE);
}

int32_t TParamVar::GetIntAt(int index) const {
  TCustomParam* value = Final();
  return value != nullptr ? value->GetIntAt(index) : 0;
}
void TParamVar::SetIntAt(int index, int32_t v) {
  if (TCustomParam* value = Final()) value->SetIntAt(index, v);
}
Extended TParamVar::GetFloatAt(int index) const {
  TCustomParam* value = Final();
  return value != nullptr ? value->GetFloatAt(index) : 0;
}
void TParamVar::SetFloatAt(int index, Extended v) {
  if (TCustomParam* value = Final()) value->SetFloatAt(index, v);
}
bool TParamVar::GetBoolAt(int index) const {
  TCustomParam* value = Final();
  return value != nullptr && value->GetBoolAt(index);
}
void TParamVar::SetBoolAt(int index, bool v) {
  if (TCustomParam* value = Final()) value->SetBoolAt(index, v);
}
std::string TParamVar::GetStrAt(int index) const {
  TCustomParam* value = Final();
  return value != nullptr ? value->GetStrAt(index) : std::string();
}
void TParamVar::SetStrAt(int index, const std::string& v) {
  if (TCustomParam* value = Final()) value->SetStrAt(index, v);
}

int TParamVar::GetDimCount() const {
  TCustomParam* value = Final();
  return value != nullptr ? value->GetDimCount() : 0;
}
int TParamVar::GetDim(int index) const {
  TCustomParam* value = Final();
  return value != nullptr ? value->GetDim(index) : 1;
}
void TParamVar::AssignFrom(const TCustomParam& source) {
  const auto& other = static_cast<const TParamVar&>(source);
  Dims = other.Dims;
  VarName = other.VarName;
  StreamByte = other.StreamByte;
  ElementIndex = other.ElementIndex;
  target_ = other.target_;
}
void TParamVar::SetDims(const std::vector<int32_t>& sizes) {
  if (TCustomParam* value = Final()) value->SetDims(sizes);
}
void TParamVar::FillInt(int32_t v) {
  if (TCustomParam* value = Final()) value->FillInt(v);
}
void TParamVar::FillFloat(Extended v) {
  if (TCustomParam* value = Final()) value->FillFloat(v);
}
void TParamVar::FillBool(bool v) {
  if (TCustomParam* value = Final()) value->FillBool(v);
}
void TParamVar::FillStr(const std::string& v) {
  if (TCustomParam* value = Final()) value->FillStr(v);
}
void TParamVar::CopySameKind(const TCustomParam& source) {
  if (TCustomParam* value = Final()) value->CopySameKind(source);
}
void TParamVar::ClearDims() {
  if (TCustomParam* value = Final()) value->ClearDims();
}
int TParamVar::IndexOf(const std::string& text, bool caseSensitive, bool partial) const {
  TCustomParam* value = Final();
  return value != nullptr ? value->IndexOf(text, caseSensitive, partial) : -1;
}

void TParamVar::SaveToStream(TBinaryWriter& writer) const {
  SaveDims(writer);
  writer.String(VarName);
  TParamCollectionItem* item = Target();
  writer.String(item != nullptr ? item->Name() : std::string());
  writer.Byte(StreamByte);
  writer.Int32(ElementIndex);
}

void TParamVar::LoadFromStream(TBinaryReader& reader) {
  LoadDims(reader);
  VarName = reader.String();
  std::string targetName = reader.String();
  StreamByte = reader.Byte();
  ElementIndex = reader.Int32();
  target_.reset();
  if (!targetName.empty() && collection_ != nullptr) SetTarget(collection_->FindVar(targetName));
}

}  // namespace kivo
