// TCustomParam and the stored value kinds TParamInt, TParamFloat, TParamFlag, TParamStr.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/binary_io.h"
#include "support/extended.h"

namespace kivo {

enum : uint8_t { PT_NONE = 0, PT_INT = 1, PT_FLOAT = 2, PT_BOOL = 3, PT_STR = 4 };

class TParamCollection;

// A value: one element, or an array of elements with any number of dimensions stored flat, last
// index fastest. The base answers 0 / 0.0 / false / "" and ignores writes.
class TCustomParam {
public:
  TCustomParam() = default;
  virtual ~TCustomParam() = default;
  TCustomParam(const TCustomParam&) = delete;
  TCustomParam& operator=(const TCustomParam&) = delete;

  std::vector<int32_t> Dims;

  virtual int GetCount() const { return 1; }
  virtual void SetCount(int count) { (void)count; }
  virtual uint8_t ParamType() const { return PT_INT; }
  // The kind byte that precedes the value in save data: a reference saves as PT_NONE even while
  // it reports its target's kind.
  virtual uint8_t StreamKind() const { return ParamType(); }
  virtual bool IsReference() const { return false; }

  virtual bool AsBool() const { return false; }
  virtual Extended AsFloat() const { return 0; }
  virtual int32_t AsInt() const { return 0; }
  virtual std::string AsString() const { return {}; }
  virtual void SetBool(bool value) { (void)value; }
  virtual void SetFloat(Extended value) { (void)value; }
  virtual void SetInt(int32_t value) { (void)value; }
  virtual void SetStr(const std::string& value) { (void)value; }

  virtual int32_t GetIntAt(int index) const { (void)index; return 0; }
  virtual void SetIntAt(int index, int32_t value) { (void)index, (void)value; }
  virtual Extended GetFloatAt(int index) const { (void)index; return 0; }
  virtual void SetFloatAt(int index, Extended value) { (void)index, (void)value; }
  virtual bool GetBoolAt(int index) const { (void)index; return false; }
  virtual void SetBoolAt(int index, bool value) { (void)index, (void)value; }
  virtual std::string GetStrAt(int index) const { (void)index; return {}; }
  virtual void SetStrAt(int index, const std::string& value) { (void)index, (void)value; }

  virtual int GetDimCount() const;
  virtual int GetDim(int index) const;
  // Dims and raw elements of a value of the same class; the caller has checked the class.
  virtual void AssignFrom(const TCustomParam& source) { Dims = source.Dims; }
  virtual void SetDims(const std::vector<int32_t>& sizes);
  virtual void FillInt(int32_t value) { (void)value; }
  virtual void FillFloat(Extended value) { (void)value; }
  virtual void FillBool(bool value) { (void)value; }
  virtual void FillStr(const std::string& value) { (void)value; }
  virtual void CopySameKind(const TCustomParam& source);
  virtual void SaveToStream(TBinaryWriter& writer) const;
  virtual void LoadFromStream(TBinaryReader& reader);
  virtual void ClearDims();
  virtual int IndexOf(const std::string& text, bool caseSensitive, bool partial) const;
  // Makes this a new value of its kind again (no dimensions, one default element) and answers
  // true; arrays, references and system values answer false and stay as they are.
  virtual bool Renew() { return false; }

  // Copies between kinds: the source's shape, then each element read with the getter of this
  // value's kind.
  void CopyFrom(const TCustomParam& source);

protected:
  void SaveDims(TBinaryWriter& writer) const;
  void LoadDims(TBinaryReader& reader);
};

// The stored kinds share their element handling; only the element type and its conversions differ.
template <class T, uint8_t Kind>
class TParamElements : public TCustomParam {
public:
  std::vector<T> Elements = std::vector<T>(1);

  int GetCount() const override { return static_cast<int>(Elements.size()); }
  void SetCount(int count) override;
  uint8_t ParamType() const override { return Kind; }

  bool AsBool() const override { return GetBoolAt(0); }
  Extended AsFloat() const override { return GetFloatAt(0); }
  int32_t AsInt() const override { return GetIntAt(0); }
  std::string AsString() const override { return GetStrAt(0); }
  void SetBool(bool value) override { ClearDims(); SetBoolAt(0, value); }
  void SetFloat(Extended value) override { ClearDims(); SetFloatAt(0, value); }
  void SetInt(int32_t value) override { ClearDims(); SetIntAt(0, value); }
  void SetStr(const std::string& value) override { ClearDims(); SetStrAt(0, value); }

  int32_t GetIntAt(int index) const override;
  void SetIntAt(int index, int32_t value) override;
  Extended GetFloatAt(int index) const override;
  void SetFloatAt(int index, Extended value) override;
  bool GetBoolAt(int index) const override;
  void SetBoolAt(int index, bool value) override;
  std::string GetStrAt(int index) const override;
  void SetStrAt(int index, const std::string& value) override;

  void AssignFrom(const TCustomParam& source) override;
  void CopySameKind(const TCustomParam& source) override;
  void SaveToStream(TBinaryWriter& writer) const override;
  void LoadFromStream(TBinaryReader& reader) override;
  void ClearDims() override;
  bool Renew() override;

protected:
  const T& At(int index) const;
  T& At(int index);
};

// Fill is declared per kind: only a value's own element type fills it.
class TParamInt final : public TParamElements<int32_t, PT_INT> {
public:
  void FillInt(int32_t value) override;
};
class TParamFloat final : public TParamElements<Extended, PT_FLOAT> {
public:
  void FillFloat(Extended value) override;
};
// Elements are bytes: a loaded byte other than 0 or 1 is kept as it was.
class TParamFlag final : public TParamElements<uint8_t, PT_BOOL> {
public:
  void FillBool(bool value) override;
};
class TParamStr final : public TParamElements<std::string, PT_STR> {
public:
  void FillStr(const std::string& value) override;
};

// A new value of a kind byte (low seven bits): 0 reference, 1..4 the stored kinds, else none.
// A reference made here binds through the given collection when it is read from a stream.
std::unique_ptr<TCustomParam> CreateParam(uint8_t kind, TParamCollection* collection = nullptr);

// "a,b,c": the sizes or indexes as the error texts show them.
std::string JoinInts(const std::vector<int32_t>& values);

}  // namespace kivo
