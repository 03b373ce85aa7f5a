// TStack and TStackList: the frames of suspended callers, and their stream form.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/event_list.h"
#include "support/binary_io.h"
#include "values/param.h"

namespace kivo {

class TParamCollection;

struct TStack {
  std::string pageName;
  int32_t returnCounter = 0;
  bool started = false;
  bool continueFlag = false;
  std::string resultVariable;
  std::vector<std::string> arguments;
  TSender sender;
  std::unique_ptr<TMemoryStream> waitingState;
  std::unique_ptr<TCustomParam> result;

  void Clear();
  // `senderOf` finds an object by name for the sender field (null when gone).
  void Save(TBinaryWriter& w) const;
  void Load(TBinaryReader& r, TParamCollection& vars, const std::function<TSender(const std::string&)>& senderOf);
};

class TStackList {
public:
  explicit TStackList(TParamCollection& vars) : vars_(vars) {}

  int Count() const { return static_cast<int>(frames_.size()); }
  bool Empty() const { return frames_.empty(); }
  TStack& Top() { return *frames_.back(); }
  TStack& Frame(int index) { return *frames_.at(static_cast<size_t>(index)); }
  TStack& Push();
  // Raises "スタックエラー" on an empty stack.
  std::unique_ptr<TStack> Pop();
  void RemoveAt(int index);
  void Clear();

  void Save(TBinaryWriter& w) const;
  void Load(TBinaryReader& r, const std::function<TSender(const std::string&)>& senderOf);

private:
  void TellDepth();

  TParamCollection& vars_;
  std::vector<std::unique_ptr<TStack>> frames_;
  TStack spare_;  // written and read with the stack, as the save format carries it
};

// String arrays in streams: int32 count, then the strings.
void WriteStrings(TBinaryWriter& w, const std::vector<std::string>& list);
std::vector<std::string> ReadStrings(TBinaryReader& r);

}  // namespace kivo
