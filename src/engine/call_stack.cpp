// Call frames and their save form.
#include "engine/call_stack.h"

#include "platform/kivo_error.h"
#include "values/param_collection.h"

namespace kivo {

void WriteStrings(TBinaryWriter& w, const std::vector<std::string>& list) {
  w.Int32(static_cast<int32_t>(list.size()));
  for (const std::string& s : list) w.String(s);
}

std::vector<std::string> ReadStrings(TBinaryReader& r) {
  std::vector<std::string> list(static_cast<size_t>(r.Count(4)));
  for (std::string& s : list) s = r.String();
  return list;
}

void TStack::Clear() { *this = TStack{}; }

void TStack::Save(TBinaryWriter& w) const {
  w.String(pageName);
  w.Int32(returnCounter);
  w.Bool(started);
  w.Bool(continueFlag);
  w.String(resultVariable);
  WriteStrings(w, arguments);
  w.String(sender && sender->alive ? sender->name : std::string());
  int32_t waitingSize = waitingState ? static_cast<int32_t>(waitingState->Size()) : 0;
  w.Int32(waitingSize);
  if (waitingSize > 0) w.Bytes(waitingState->Memory(), waitingSize);
  w.Byte(result ? result->StreamKind() : 0);
  if (result) result->SaveToStream(w);
}

void TStack::Load(TBinaryReader& r, TParamCollection& vars,
                  const std::function<TSender(const std::string&)>& senderOf) {
  Clear();
  pageName = r.String();
  returnCounter = r.Int32();
  started = r.Bool();
  continueFlag = r.Bool();
  resultVariable = r.String();
  arguments = ReadStrings(r);
  std::string senderName = r.String();
  sender = senderName.empty() ? nullptr : senderOf(senderName);
  int32_t waitingSize = r.Int32();
  if (waitingSize < 0) throw EKivoError("Stream read error: negative waiting state");
  if (waitingSize > 0) waitingState = std::make_unique<TMemoryStream>(r.Block(waitingSize));
  if (uint8_t kind = r.Byte()) {
    result = CreateParam(kind, &vars);
    if (!result) throw EKivoError("Stream read error: bad result kind");
    result->LoadFromStream(r);
  }
}

void TStackList::TellDepth() { vars_.CurrentLocalId = Count(); }

TStack& TStackList::Push() {
  frames_.push_back(std::make_unique<TStack>());
  TellDepth();
  return *frames_.back();
}

std::unique_ptr<TStack> TStackList::Pop() {
  if (frames_.empty()) throw EKivoError("\x83X\x83^\x83" "b\x83N\x83G\x83\x89\x81[");  // スタックエラー
  std::unique_ptr<TStack> top = std::move(frames_.back());
  frames_.pop_back();
  TellDepth();
  return top;
}

void TStackList::RemoveAt(int index) {
  frames_.erase(frames_.begin() + index);
  TellDepth();
}

void TStackList::Clear() {
  frames_.clear();
  TellDepth();
}

void TStackList::Save(TBinaryWriter& w) const {
  spare_.Save(w);
  w.Int32(Count());
  for (const auto& f : frames_) f->Save(w);
}

void TStackList::Load(TBinaryReader& r, const std::function<TSender(const std::string&)>& senderOf) {
  spare_.Load(r, vars_, senderOf);
  int32_t count = r.Count(4 * 4);
  frames_.clear();
  for (int32_t i = 0; i < count; ++i) {
    auto frame = std::make_unique<TStack>();
    frame->Load(r, vars_, senderOf);
    frames_.push_back(std::move(frame));
  }
  TellDepth();
}

}  // namespace kivo
