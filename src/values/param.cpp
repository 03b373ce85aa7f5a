// TCustomParam: shape, copies, look-up and stream form; the element conversions of the stored kinds.
#include "values/param.h"

#include <new>
#include <typeinfo>

#include "platform/kivo_error.h"
#include "support/sjis.h"
#include "values/param_var.h"
#include "values/value_convert.h"
#include "values/value_messages.h"

namespace kivo {

namespace {

// Element conversions: the two tables of reads and writes, one overload per stored type.
int32_t ToInt(int32_t v) { return v; }
int32_t ToInt(Extended v) { return TruncToInt(v); }
int32_t ToInt(uint8_t v) { return v != 0 ? 1 : 0; }
int32_t ToInt(const std::string& v) { return StrToIntDef(v, 0); }
Extended ToFloat(int32_t v) { return v; }
Extended ToFloat(Extended v) { return v; }
Extended ToFloat(uint8_t v) { return v != 0 ? 1 : 0; }
Extended ToFloat(const std::string& v) { return StrToFloatDef(v, 0); }
bool ToBool(int32_t v) { return v != 0; }
bool ToBool(Extended v) { return v != 0; }
bool ToBool(uint8_t v) { return v != 0; }
bool ToBool(const std::string& v) { return StrToBool(v); }
std::string ToStr(int32_t v) { return IntToStr(v); }
std::string ToStr(Extended v) { return FloatToStr(v); }
std::string ToStr(uint8_t v) { return BoolToStr(v != 0); }
std::string ToStr(const std::string& v) { return v; }

template <class T>
T FromInt(int32_t v) {
  if constexpr (std::is_same_v<T, std::string>) return IntToStr(v);
  else if constexpr (std::is_same_v<T, uint8_t>) return v != 0 ? 1 : 0;
  else return static_cast<T>(v);
}
template <class T>
T FromFloat(Extended v) {
  if constexpr (std::is_same_v<T, std::string>) return FloatToStr(v);
  else if constexpr (std::is_same_v<T, uint8_t>) return v != 0 ? 1 : 0;
  else if constexpr (std::is_same_v<T, int32_t>) return TruncToInt(v);
  else return v;
}
template <class T>
T FromBool(bool v) {
  if constexpr (std::is_same_v<T, std::string>) return BoolToStr(v);
  else return static_cast<T>(v ? 1 : 0);
}
template <class T>
T FromStr(const std::string& v) {
  if constexpr (std::is_same_v<T, std::string>) return v;
  else if constexpr (std::is_same_v<T, uint8_t>) return StrToBool(v) ? 1 : 0;
  else if constexpr (std::is_same_v<T, int32_t>) return StrToIntDef(v, 0);
  else return StrToFloatDef(v, 0);
}

template <class T>
void WriteElement(TBinaryWriter& w, const T& v) {
  if constexpr (std::is_same_v<T, std::string>) w.String(v);
  else if constexpr (std::is_same_v<T, uint8_t>) w.Byte(v);
  else if constexpr (std::is_same_v<T, int32_t>) w.Int32(v);
  else w.ExtendedValue(v);
}
template <class T>
void ReadElement(TBinaryReader& r, T& v) {
  if constexpr (std::is_same_v<T, std::string>) v = r.String();
  else if constexpr (std::is_same_v<T, uint8_t>) v = r.Byte();
  else if constexpr (std::is_same_v<T, int32_t>) v = r.Int32();
  else v = r.ExtendedValue();
}
template <class T>
constexpr int64_t kStreamSize = std::is_same_v<T, uint8_t> ? 1 : std::is_same_v<T, Extended> ? 10 : 4;

}  // namespace

std::string JoinInts(const std::vector<int32_t>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ',';
    out += std::to_string(values[i]);
  }
  return out;
}

int TCustomParam::GetDimCount() const { return Dims.empty() ? 1 : static_cast<int>(Dims.size()); }

int TCustomParam::GetDim(int index) const {
  return index >= 0 && index < static_cast<int>(Dims.size()) ? Dims[static_cast<size_t>(index)] : 1;
}

void TCustomParam::SetDims(const std::vector<int32_t>& sizes) {
  int64_t product = 1;
  bool valid = true;
  for (int32_t size : sizes) {
    if (size <= 0) valid = false;
    else product *= size;
    // A product past 32 bits is not an array the player can hold; say so rather than wrap.
    if (product > INT32_MAX) valid = false;
    if (!valid) break;
  }
  if (!valid) throw EKivoError(kMsgBadDimsHead + JoinInts(sizes) + kMsgBadDimsTail);
  try {
    SetCount(static_cast<int>(product));
  } catch (const std::bad_alloc&) {
    throw EKivoError(kMsgBadDimsHead + JoinInts(sizes) + kMsgBadDimsTail);
  } catch (const std::length_error&) {
    throw EKivoError(kMsgBadDimsHead + JoinInts(sizes) + kMsgBadDimsTail);
  }
  Dims = sizes;
}

void TCustomParam::CopySameKind(const TCustomParam& source) { (void)source; }

void TCustomParam::SaveDims(TBinaryWriter& writer) const {
  writer.Int32(static_cast<int32_t>(Dims.size()));
  for (int32_t size : Dims) writer.Int32(size);
}

void TCustomParam::LoadDims(TBinaryReader& reader) {
  int32_t count = reader.Count(4);
  std::vector<int32_t> dims(static_cast<size_t>(count));
  for (int32_t& size : dims) size = reader.Int32();
  Dims = std::move(dims);
}

void TCustomParam::SaveToStream(TBinaryWriter& writer) const { SaveDims(writer); }
void TCustomParam::LoadFromStream(TBinaryReader& reader) { LoadDims(reader); }

void TCustomParam::ClearDims() { Dims.clear(); }

int TCustomParam::IndexOf(const std::string& text, bool caseSensitive, bool partial) const {
  const std::string wanted = partial && !caseSensitive ? SjisLowerCase(text) : text;
  for (int i = 0, count = GetCount(); i < count; ++i) {
    std::string element = GetStrAt(i);
    bool match;
    if (partial) match = (caseSensitive ? element : SjisLowerCase(element)).find(wanted) != std::string::npos;
    else match = caseSensitive ? element == text : SjisSameText(element, text);
    if (match) return i;
  }
  return -1;
}

void TCustomParam::CopyFrom(const TCustomParam& source) {
  // Most values are single elements, whose shape (one dimension of 1) needs no list of its own.
  static const std::vector<int32_t> kSingleElement{1};
  const int dimCount = source.GetDimCount();
  if (dimCount == 1 && source.GetDim(0) == 1) {
    SetDims(kSingleElement);
  } else {
    std::vector<int32_t> sizes;
    for (int i = 0; i < dimCount; ++i) sizes.push_back(source.GetDim(i));
    SetDims(sizes);
  }
  const int count = source.GetCount();
  switch (ParamType()) {
    case PT_INT: for (int i = 0; i < count; ++i) SetIntAt(i, source.GetIntAt(i)); break;
    case PT_FLOAT: for (int i = 0; i < count; ++i) SetFloatAt(i, source.GetFloatAt(i)); break;
    case PT_BOOL: for (int i = 0; i < count; ++i) SetBoolAt(i, source.GetBoolAt(i)); break;
    case PT_STR: for (int i = 0; i < count; ++i) SetStrAt(i, source.GetStrAt(i)); break;
    default: break;
  }
}

template <class T, uint8_t Kind>
void TParamElements<T, Kind>::SetCount(int count) {
  if (count < 0) throw EKivoError(BadIndexMessage(count));
  Elements.resize(static_cast<size_t>(count));
}

template <class T, uint8_t Kind>
const T& TParamElements<T, Kind>::At(int index) const {
  if (index < 0 || index >= static_cast<int>(Elements.size())) throw EKivoError(BadIndexMessage(index));
  return Elements[static_cast<size_t>(index)];
}

template <class T, uint8_t Kind>
T& TParamElements<T, Kind>::At(int index) {
  if (index < 0 || index >= static_cast<int>(Elements.size())) throw EKivoError(BadIndexMessage(index));
  return Elements[static_cast<size_t>(index)];
}

template <class T, uint8_t Kind>
int32_t TParamElements<T, Kind>::GetIntAt(int index) const { return ToInt(At(index)); }
template <class T, uint8_t Kind>
void TParamElements<T, Kind>::SetIntAt(int index, int32_t value) { At(index) = FromInt<T>(value); }
template <class T, uint8_t Kind>
Extended TParamElements<T, Kind>::GetFloatAt(int index) const { return ToFloat(At(index)); }
template <class T, uint8_t Kind>
void TParamElements<T, Kind>::SetFloatAt(int index, Extended value) { At(index) = FromFloat<T>(value); }
template <class T, uint8_t Kind>
bool TParamElements<T, Kind>::GetBoolAt(int index) const { return ToBool(At(index)); }
template <class T, uint8_t Kind>
void TParamElements<T, Kind>::SetBoolAt(int index, bool value) { At(index) = FromBool<T>(value); }
template <class T, uint8_t Kind>
std::string TParamElements<T, Kind>::GetStrAt(int index) const { return ToStr(At(index)); }
template <class T, uint8_t Kind>
void TParamElements<T, Kind>::SetStrAt(int index, const std::string& value) { At(index) = FromStr<T>(value); }

template <class T, uint8_t Kind>
void TParamElements<T, Kind>::AssignFrom(const TCustomParam& source) {
  const auto& same = static_cast<const TParamElements&>(source);
  Dims = same.Dims;
  Elements = same.Elements;
}

template <class T, uint8_t Kind>
void TParamElements<T, Kind>::CopySameKind(const TCustomParam& source) {
  if (typeid(source) != typeid(*this)) throw EKivoError(kMsgKindMismatch);
  const auto& same = static_cast<const TParamElements&>(source);
  std::vector<int32_t> dims;
  for (int i = 0, n = same.GetDimCount(); i < n; ++i) dims.push_back(same.GetDim(i));
  Elements = same.Elements;
  Dims = std::move(dims);
}

template <class T, uint8_t Kind>
void TParamElements<T, Kind>::SaveToStream(TBinaryWriter& writer) const {
  SaveDims(writer);
  writer.Int32(static_cast<int32_t>(Elements.size()));
  for (const T& element : Elements) WriteElement(writer, element);
}

template <class T, uint8_t Kind>
void TParamElements<T, Kind>::LoadFromStream(TBinaryReader& reader) {
  LoadDims(reader);
  int32_t count = reader.Count(kStreamSize<T>);
  std::vector<T> elements(static_cast<size_t>(count));
  for (T& element : elements) ReadElement(reader, element);
  Elements = std::move(elements);
}

template <class T, uint8_t Kind>
void TParamElements<T, Kind>::ClearDims() {
  if (Dims.empty()) return;
  Dims.clear();
  Elements.resize(1);
}

template <class T, uint8_t Kind>
bool TParamElements<T, Kind>::Renew() {
  if (Elements.size() != 1) return false;
  Dims.clear();
  Elements[0] = T{};
  return true;
}

template class TParamElements<int32_t, PT_INT>;
template class TParamElements<Extended, PT_FLOAT>;
template class TParamElements<uint8_t, PT_BOOL>;
template class TParamElements<std::string, PT_STR>;

void TParamInt::FillInt(int32_t value) { Elements.assign(Elements.size(), value); }
void TParamFloat::FillFloat(Extended value) { Elements.assign(Elements.size(), value); }
void TParamFlag::FillBool(bool value) { Elements.assign(Elements.size(), value ? 1 : 0); }
void TParamStr::FillStr(const std::string& value) { Elements.assign(Elements.size(), value); }

std::unique_ptr<TCustomParam> CreateParam(uint8_t kind, TParamCollection* collection) {
  switch (kind & 0x7F) {
    case PT_NONE: return std::make_unique<TParamVar>(collection);
    case PT_INT: return std::make_unique<TParamInt>();
    case PT_FLOAT: return std::make_unique<TParamFloat>();
    case PT_BOOL: return std::make_unique<TParamFlag>();
    case PT_STR: return std::make_unique<TParamStr>();
    default: return nullptr;
  }
}

}  // namespace kivo
