// TParamSystem: the kind, reads and writes of each system variable, and its conversions.
#include "values/param_system.h"

#include "platform/clock.h"
#include "platform/kivo_error.h"
#include "values/param_collection.h"
#include "values/value_convert.h"
#include "values/value_messages.h"

namespace kivo {

namespace {

enum SystemId : uint8_t {
  SV_RESULT, SV_LCLICK, SV_RCLICK, SV_LPUSH, SV_RPUSH, SV_MOUSEX, SV_MOUSEY, SV_TEXTDELAY, SV_HISTORYCOUNT,
  SV_PARAMCOUNT, SV_PARAMSTR, SV_SENDER, SV_SCRWIDTH, SV_SCRHEIGHT, SV_TICKCOUNT, SV_PCTICKCOUNT, SV_UPDATECOUNT,
  SV_YEAR, SV_MONTH, SV_DAY, SV_WEEK, SV_HOUR, SV_MIN, SV_SEC, SV_FONTS, SV_FIXEDFONTS, SV_FULLSCR, SV_CURSOR,
  SV_SELSTR, SV_SELINDEX, SV_PI, SV_CGDITHER, SV_1HOUR, SV_1MIN, SV_1SEC, SV_KEYPUSH, SV_KEYCLICK,
  SV_DISPLAYMODECOUNT, SV_DISPLAYMODEINDEX, SV_TITLE, SV_SOUNDON, SV_ACTIVECOMPO, SV_KEYREPEAT,
  SV_HISTORYMAXCOUNT, SV_TEMP, SV_MIDIPORT, SV_MIDIPORTS, SV_WHEELDOWN, SV_WHEELUP, SV_ISDEBUG, SV_STACKCOUNT
};

constexpr uint8_t kKinds[51] = {
    PT_NONE, PT_BOOL, PT_BOOL, PT_BOOL, PT_BOOL, PT_INT, PT_INT, PT_INT, PT_INT,          // 0-8
    PT_INT, PT_STR, PT_STR, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT,                       // 9-16
    PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_STR, PT_STR, PT_BOOL, PT_STR,  // 17-27
    PT_STR, PT_INT, PT_FLOAT, PT_BOOL, PT_FLOAT, PT_FLOAT, PT_FLOAT, PT_BOOL, PT_BOOL,    // 28-36
    PT_INT, PT_INT, PT_STR, PT_BOOL, PT_STR, PT_BOOL,                                     // 37-42
    PT_INT, PT_NONE, PT_STR, PT_STR, PT_BOOL, PT_BOOL, PT_BOOL, PT_INT};                  // 43-50

constexpr int kKeyStates = 258;

// "@Result" and "@Temp" can be made to stand for each other through references; a few hops
// are all a real game uses, so deeper forwarding is taken as a loop and answers neutrally.
thread_local int forwardDepth = 0;
struct TForwardDepth {
  TForwardDepth() { ++forwardDepth; }
  ~TForwardDepth() { --forwardDepth; }
  bool Ok() const { return forwardDepth <= 16; }
};

}  // namespace

TParamSystem::TParamSystem(TParamCollection* collection, uint8_t systemId) : collection_(collection), systemId_(systemId) {
  if (systemId > SV_STACKCOUNT) throw EKivoError(kMsgInternal);
}

TCustomParam* TParamSystem::Forwarded() const {
  if (collection_ == nullptr) return nullptr;
  if (systemId_ == SV_RESULT) return collection_->Hosts.Call->CurrentResult();
  TParamCollectionItem* item = collection_->FindVar(collection_->TempVarName);
  if (item == nullptr || item->Param.get() == this) return nullptr;
  return item->Param.get();
}

#define KIVO_FORWARD(expr, neutral)                      \
  if (Forwards()) {                                       \
    TForwardDepth depth;                                  \
    TCustomParam* target = depth.Ok() ? Forwarded() : nullptr; \
    if (target == nullptr) return neutral;                \
    return target->expr;                                  \
  }

uint8_t TParamSystem::NativeKind() const { return kKinds[systemId_]; }

bool TParamSystem::IsArray() const {
  switch (systemId_) {
    case SV_PARAMSTR: case SV_KEYPUSH: case SV_KEYCLICK: case SV_KEYREPEAT: case SV_MIDIPORTS: return true;
    default: return false;
  }
}

int TParamSystem::GetCount() const {
  KIVO_FORWARD(GetCount(), 1)
  if (collection_ == nullptr) return 1;
  switch (systemId_) {
    case SV_PARAMSTR: return collection_->Hosts.Call->ParamCount();
    case SV_KEYPUSH: case SV_KEYCLICK: case SV_KEYREPEAT: return kKeyStates;
    case SV_MIDIPORTS: return collection_->Hosts.Midi->MidiPortCount();
    default: return 1;
  }
}

void TParamSystem::SetCount(int count) { KIVO_FORWARD(SetCount(count), void()) }

uint8_t TParamSystem::ParamType() const {
  KIVO_FORWARD(ParamType(), systemId_ == SV_TEMP ? PT_NONE : PT_INT)
  return NativeKind();
}

void TParamSystem::CheckIndex(int index) const {
  if (IsArray() && (index < 0 || index >= GetCount())) throw EKivoError(BadIndexMessage(index));
}

int32_t TParamSystem::NativeInt(int index) const {
  (void)index;
  if (collection_ == nullptr) return 0;
  TSystemHosts& hosts = collection_->Hosts;
  switch (systemId_) {
    case SV_MOUSEX: return hosts.Scene->MouseX();
    case SV_MOUSEY: return hosts.Scene->MouseY();
    case SV_TEXTDELAY: return collection_->TextDelay;
    case SV_HISTORYCOUNT: return hosts.History->HistoryCount();
    case SV_PARAMCOUNT: return hosts.Call->ParamCount();
    case SV_SCRWIDTH: return hosts.Project->ScreenWidth();
    case SV_SCRHEIGHT: return hosts.Project->ScreenHeight();
    case SV_TICKCOUNT: return hosts.Project->TickCount();
    case SV_PCTICKCOUNT: return static_cast<int32_t>(TimeGetTime());
    case SV_UPDATECOUNT: return hosts.Project->UpdateCount();
    case SV_YEAR: return hosts.Clock->Now().year;
    case SV_MONTH: return hosts.Clock->Now().month;
    case SV_DAY: return hosts.Clock->Now().day;
    case SV_WEEK: return hosts.Clock->Now().weekday + 1;  // 1 = Sunday
    case SV_HOUR: return hosts.Clock->Now().hour;
    case SV_MIN: return hosts.Clock->Now().minute;
    case SV_SEC: return hosts.Clock->Now().second;
    case SV_SELINDEX: return collection_->SelectedIndex;
    case SV_DISPLAYMODECOUNT: return hosts.Screen->DisplayModeCount();
    case SV_DISPLAYMODEINDEX: return hosts.Screen->DisplayModeIndex();
    case SV_HISTORYMAXCOUNT: return hosts.History->HistoryMaxCount();
    case SV_STACKCOUNT: return hosts.Call->StackCount();
    default: return 0;
  }
}

Extended TParamSystem::NativeFloat(int index) const {
  (void)index;
  switch (systemId_) {
    case SV_PI: return 3.14159265358979323846264338327950288L;
    case SV_1HOUR: return 1.0L / 24;
    case SV_1MIN: return 1.0L / 1440;
    case SV_1SEC: return 1.0L / 86400;
    default: return 0;
  }
}

bool TParamSystem::NativeBool(int index) const {
  if (collection_ == nullptr) return false;
  TSystemHosts& hosts = collection_->Hosts;
  const int key = index < 0 ? 0 : index;
  switch (systemId_) {
    case SV_LCLICK: return hosts.Scene->LClick();
    case SV_RCLICK: return hosts.Scene->RClick();
    case SV_LPUSH: return hosts.Scene->LPush();
    case SV_RPUSH: return hosts.Scene->RPush();
    case SV_FULLSCR: return hosts.Screen->FullScreen();
    case SV_CGDITHER: return hosts.Scene->CGDither();
    case SV_KEYPUSH: return hosts.Scene->KeyPush(key);
    case SV_KEYCLICK: return hosts.Scene->KeyClick(key);
    case SV_KEYREPEAT: return hosts.Scene->KeyRepeat(key);
    case SV_SOUNDON: return hosts.Project->SoundOn();
    case SV_WHEELDOWN: return hosts.Scene->WheelDown();
    case SV_WHEELUP: return hosts.Scene->WheelUp();
    default: return false;  // "@IsDebug" among them
  }
}

std::string TParamSystem::NativeStr(int index) const {
  if (collection_ == nullptr) return {};
  TSystemHosts& hosts = collection_->Hosts;
  switch (systemId_) {
    case SV_PARAMSTR: return index < 0 ? std::string() : hosts.Call->ParamStr(index);
    case SV_SENDER: return hosts.Call->Sender();
    case SV_FONTS: return hosts.Fonts->FontNames(false);
    case SV_FIXEDFONTS: return hosts.Fonts->FontNames(true);
    case SV_CURSOR: return collection_->CursorName;
    case SV_SELSTR: return collection_->SelectedText;
    case SV_TITLE: return hosts.Project->Title();
    case SV_ACTIVECOMPO: return hosts.Scene->ActiveCompo();
    case SV_MIDIPORT: return hosts.Midi->MidiPort();
    case SV_MIDIPORTS:
      if (index < 0) return hosts.Midi->MidiPortCount() > 0 ? hosts.Midi->MidiPortName(0) : std::string();
      return hosts.Midi->MidiPortName(index);
    default: return {};
  }
}

void TParamSystem::WriteInt(int32_t value) {
  if (collection_ == nullptr) return;
  TSystemHosts& hosts = collection_->Hosts;
  switch (systemId_) {
    case SV_MOUSEX: hosts.Scene->SetMouse(value, hosts.Scene->MouseY()); break;
    case SV_MOUSEY: hosts.Scene->SetMouse(hosts.Scene->MouseX(), value); break;
    case SV_TEXTDELAY: collection_->TextDelay = value; break;
    case SV_SELINDEX: collection_->SelectedIndex = value; break;
    case SV_DISPLAYMODEINDEX: hosts.Screen->SetDisplayModeIndex(value); break;
    case SV_HISTORYMAXCOUNT: hosts.History->SetHistoryMaxCount(value); break;
    default: break;
  }
}

void TParamSystem::WriteFloat(Extended value) { (void)value; }  // the float ones are constants

void TParamSystem::WriteBool(bool value) {
  if (collection_ == nullptr) return;
  TSystemHosts& hosts = collection_->Hosts;
  switch (systemId_) {
    case SV_LCLICK: hosts.Scene->SetLClick(value); break;
    case SV_RCLICK: hosts.Scene->SetRClick(value); break;
    case SV_FULLSCR: hosts.Screen->SetFullScreen(value); break;
    case SV_CGDITHER: hosts.Scene->SetCGDither(value); break;
    case SV_SOUNDON: hosts.Project->SetSoundOn(value); break;
    default: break;
  }
}

void TParamSystem::WriteStr(const std::string& value) {
  if (collection_ == nullptr) return;
  TSystemHosts& hosts = collection_->Hosts;
  switch (systemId_) {
    case SV_CURSOR: collection_->CursorName = value; break;
    case SV_SELSTR: collection_->SelectedText = value; break;
    case SV_ACTIVECOMPO: hosts.Scene->SetActiveCompo(value); break;
    case SV_MIDIPORT: hosts.Midi->SetMidiPort(value); break;
    default: break;
  }
}

int32_t TParamSystem::ReadInt(int index) const {
  switch (NativeKind()) {
    case PT_INT: return NativeInt(index);
    case PT_FLOAT: return TruncToInt(NativeFloat(index));
    case PT_BOOL: return NativeBool(index) ? 1 : 0;
    default: return StrToIntDef(NativeStr(index), 0);
  }
}

Extended TParamSystem::ReadFloat(int index) const {
  switch (NativeKind()) {
    case PT_INT: return NativeInt(index);
    case PT_FLOAT: return NativeFloat(index);
    case PT_BOOL: return NativeBool(index) ? 1 : 0;
    default: return StrToFloatDef(NativeStr(index), 0);
  }
}

bool TParamSystem::ReadBool(int index) const {
  switch (NativeKind()) {
    case PT_INT: return NativeInt(index) != 0;
    case PT_FLOAT: return NativeFloat(index) != 0;
    case PT_BOOL: return NativeBool(index);
    default:
      if (index < 0) return !NativeStr(index).empty();
      return StrToIntDef(NativeStr(index), 0) != 0;
  }
}

std::string TParamSystem::ReadStr(int index) const {
  switch (NativeKind()) {
    case PT_INT: return IntToStr(NativeInt(index));
    case PT_FLOAT: return FloatToStr(NativeFloat(index));
    case PT_BOOL: return BoolToStr(NativeBool(index));
    default: return NativeStr(index);
  }
}

bool TParamSystem::AsBool() const { KIVO_FORWARD(AsBool(), false) return ReadBool(-1); }
Extended TParamSystem::AsFloat() const { KIVO_FORWARD(AsFloat(), Extended(0)) return ReadFloat(-1); }
int32_t TParamSystem::AsInt() const { KIVO_FORWARD(AsInt(), 0) return ReadInt(-1); }
std::string TParamSystem::AsString() const { KIVO_FORWARD(AsString(), std::string()) return ReadStr(-1); }

void TParamSystem::SetBool(bool value) {
  KIVO_FORWARD(SetBool(value), void())
  switch (NativeKind()) {
    case PT_INT: WriteInt(value ? 1 : 0); break;
    case PT_FLOAT: WriteFloat(value ? 1 : 0); break;
    case PT_BOOL: WriteBool(value); break;
    default: WriteStr(BoolToStr(value)); break;
  }
}

void TParamSystem::SetFloat(Extended value) {
  KIVO_FORWARD(SetFloat(value), void())
  switch (NativeKind()) {
    case PT_INT: WriteInt(TruncToInt(value)); break;
    case PT_FLOAT: WriteFloat(value); break;
    case PT_BOOL: WriteBool(value != 0); break;
    default: WriteStr(FloatToStr(value)); break;
  }
}

void TParamSystem::SetInt(int32_t value) {
  KIVO_FORWARD(SetInt(value), void())
  switch (NativeKind()) {
    case PT_INT: WriteInt(value); break;
    case PT_FLOAT: WriteFloat(value); break;
    case PT_BOOL: WriteBool(value != 0); break;
    default: WriteStr(IntToStr(value)); break;
  }
}

void TParamSystem::SetStr(const std::string& value) {
  KIVO_FORWARD(SetStr(value), void())
  switch (NativeKind()) {
    case PT_INT: {
      int32_t parsed;
      if (TryStrToInt(value, parsed)) WriteInt(parsed);
      break;
    }
    case PT_FLOAT: {
      Extended parsed;
      if (TryStrToFloat(value, parsed)) WriteFloat(parsed);
      break;
    }
    case PT_BOOL: WriteBool(StrToIntDef(value, 0) != 0); break;
    default: WriteStr(value); break;
  }
}

int32_t TParamSystem::GetIntAt(int index) const { KIVO_FORWARD(GetIntAt(index), 0) CheckIndex(index); return ReadInt(index); }
Extended TParamSystem::GetFloatAt(int index) const {
  KIVO_FORWARD(GetFloatAt(index), Extended(0))
  CheckIndex(index);
  return ReadFloat(index);
}
bool TParamSystem::GetBoolAt(int index) const { KIVO_FORWARD(GetBoolAt(index), false) CheckIndex(index); return ReadBool(index); }
std::string TParamSystem::GetStrAt(int index) const {
  KIVO_FORWARD(GetStrAt(index), std::string())
  CheckIndex(index);
  return ReadStr(index);
}

// Element writes of the scalar ones are their scalar write; the arrays are read-only.
void TParamSystem::SetIntAt(int index, int32_t value) {
  KIVO_FORWARD(SetIntAt(index, value), void())
  CheckIndex(index);
  if (!IsArray()) SetInt(value);
}
void TParamSystem::SetFloatAt(int index, Extended value) {
  KIVO_FORWARD(SetFloatAt(index, value), void())
  CheckIndex(index);
  if (!IsArray()) SetFloat(value);
}
void TParamSystem::SetBoolAt(int index, bool value) {
  KIVO_FORWARD(SetBoolAt(index, value), void())
  CheckIndex(index);
  if (!IsArray()) SetBool(value);
}
void TParamSystem::SetStrAt(int index, const std::string& value) {
  KIVO_FORWARD(SetStrAt(index, value), void())
  CheckIndex(index);
  if (!IsArray()) SetStr(value);
}

int TParamSystem::GetDimCount() const { KIVO_FORWARD(GetDimCount(), 1) return 1; }
int TParamSystem::GetDim(int index) const {
  KIVO_FORWARD(GetDim(index), 1)
  return index == 0 && IsArray() ? GetCount() : 1;
}
void TParamSystem::SetDims(const std::vector<int32_t>& sizes) { KIVO_FORWARD(SetDims(sizes), void()) }
void TParamSystem::FillInt(int32_t value) { KIVO_FORWARD(FillInt(value), void()) }
void TParamSystem::FillFloat(Extended value) { KIVO_FORWARD(FillFloat(value), void()) }
void TParamSystem::FillBool(bool value) { KIVO_FORWARD(FillBool(value), void()) }
void TParamSystem::FillStr(const std::string& value) { KIVO_FORWARD(FillStr(value), void()) }
void TParamSystem::CopySameKind(const TCustomParam& source) {
  KIVO_FORWARD(CopySameKind(source), void())
  throw EKivoError(kMsgKindMismatch);
}
void TParamSystem::ClearDims() { KIVO_FORWARD(ClearDims(), void()) }
int TParamSystem::IndexOf(const std::string& text, bool caseSensitive, bool partial) const {
  KIVO_FORWARD(IndexOf(text, caseSensitive, partial), -1)
  return TCustomParam::IndexOf(text, caseSensitive, partial);
}

// The stream form is that of a stored value of the same kind holding the current contents, so
// that pushed sets can hold system variables.
void TParamSystem::SaveToStream(TBinaryWriter& writer) const {
  KIVO_FORWARD(SaveToStream(writer), void())
  std::unique_ptr<TCustomParam> copy = CreateParam(NativeKind());
  const int count = GetCount();
  copy->SetCount(count);
  for (int i = 0; i < count; ++i) {
    int index = IsArray() ? i : -1;
    switch (NativeKind()) {
      case PT_INT: copy->SetIntAt(i, ReadInt(index)); break;
      case PT_FLOAT: copy->SetFloatAt(i, ReadFloat(index)); break;
      case PT_BOOL: copy->SetBoolAt(i, ReadBool(index)); break;
      default: copy->SetStrAt(i, ReadStr(index)); break;
    }
  }
  copy->SaveToStream(writer);
}

void TParamSystem::LoadFromStream(TBinaryReader& reader) {
  KIVO_FORWARD(LoadFromStream(reader), void())
  std::unique_ptr<TCustomParam> copy = CreateParam(NativeKind());
  copy->LoadFromStream(reader);
  if (IsArray() || copy->GetCount() < 1) return;
  switch (NativeKind()) {
    case PT_INT: WriteInt(copy->GetIntAt(0)); break;
    case PT_FLOAT: WriteFloat(copy->GetFloatAt(0)); break;
    case PT_BOOL: WriteBool(copy->GetBoolAt(0)); break;
    default: WriteStr(copy->GetStrAt(0)); break;
  }
}

#undef KIVO_FORWARD

}  // namespace kivo
