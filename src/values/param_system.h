// TParamSystem: the 51 system variables, which read and write engine state instead of storage.
#pragma once

#include <cstdint>
#include <string>

#include "values/param.h"

namespace kivo {

inline constexpr const char* kSystemNames[51] = {
    "@Result", "@LClick", "@RClick", "@LPush", "@RPush", "@MouseX", "@MouseY", "@TextDelay", "@HistoryCount",
    "@ParamCount", "@ParamStr", "@Sender", "@ScrWidth", "@ScrHeight", "@TickCount", "@PCTickCount", "@UpdateCount",
    "@Year", "@Month", "@Day", "@Week", "@Hour", "@Min", "@Sec", "@Fonts", "@FixedFonts", "@FullScr", "@Cursor",
    "@SelStr", "@SelIndex", "@Pi", "@CGDither", "@1Hour", "@1Min", "@1Sec", "@KeyPush", "@KeyClick",
    "@DisplayModeCount", "@DisplayModeIndex", "@Title", "@SoundON", "@ActiveCompo", "@KeyRepeat",
    "@HistoryMaxCount", "@Temp", "@MidiPort", "@MidiPorts", "@WheelDown", "@WheelUp", "@IsDebug", "@StackCount"};

// Behaves as a value of its variable's kind. Reads in another kind convert by the usual rules,
// except: a boolean one written with text stores (integer parse) != 0; a string one read as a
// boolean is true when non-empty (element-wise: integer parse != 0); an integer or float one
// written with text that does not parse keeps its value. "@Result" and "@Temp" forward
// everything to the value they stand for.
class TParamSystem final : public TCustomParam {
public:
  // An id outside 0..50 fails with the internal-error text.
  TParamSystem(TParamCollection* collection, uint8_t systemId);

  uint8_t SystemId() const { return systemId_; }

  int GetCount() const override;
  void SetCount(int count) override;
  uint8_t ParamType() const override;

  bool AsBool() const override;
  Extended AsFloat() const override;
  int32_t AsInt() const override;
  std::string AsString() const override;
  void SetBool(bool value) override;
  void SetFloat(Extended value) override;
  void SetInt(int32_t value) override;
  void SetStr(const std::string& value) override;

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

private:
  // "@Result"/"@Temp": the value stood for, or none (also when forwarding loops back).
  TCustomParam* Forwarded() const;
  bool Forwards() const { return systemId_ == 0 || systemId_ == 44; }
  uint8_t NativeKind() const;
  bool IsArray() const;
  void CheckIndex(int index) const;
  // Native reads; index -1 is the scalar read.
  int32_t NativeInt(int index) const;
  Extended NativeFloat(int index) const;
  bool NativeBool(int index) const;
  std::string NativeStr(int index) const;
  void WriteInt(int32_t value);
  void WriteFloat(Extended value);
  void WriteBool(bool value);
  void WriteStr(const std::string& value);
  // Reads in any kind of the native value, with the system variables' own differences.
  int32_t ReadInt(int index) const;
  Extended ReadFloat(int index) const;
  bool ReadBool(int index) const;
  std::string ReadStr(int index) const;

  TParamCollection* collection_;
  uint8_t systemId_;
};

}  // namespace kivo
