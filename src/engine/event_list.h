// TTimerList: the scene's queue of events whose handler pages the call manager runs, and the
// sender handle that tells whether the object that raised an event still exists.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kivo {

// What an object that raises events hands out: its name, and whether it still exists. Scene
// objects hold one each and mark it gone when they are freed.
struct TEventSource {
  std::string name;
  bool alive = true;
};
using TSender = std::shared_ptr<TEventSource>;

struct TEventEntry {
  std::string handler;  // page reference, optionally ":" and a label
  TSender sender;
  std::vector<std::string> arguments;
  int code = 0;   // the handler property's number
  int level = 0;  // 0 while pending; the nesting level once it runs
};

class TTimerList {
public:
  void RaiseEvent(std::string handler, TSender sender, std::vector<std::string> arguments = {}, int code = 0);
  // The oldest pending event (level 0), or null.
  TEventEntry* FirstPending();
  // Removes the running events of levels from..to (inclusive).
  void RemoveLevels(int from, int to);
  // Removes every running event.
  void RemoveRunning();
  void Clear() { entries_.clear(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  const TEventEntry& Entry(int index) const { return *entries_.at(static_cast<size_t>(index)); }

private:
  std::vector<std::unique_ptr<TEventEntry>> entries_;
};

// Splits a handler reference at the last ":" after the last "." and "\" (double-byte characters
// respected) into the page file (its last three characters replaced by "ksb") and the label.
void SplitHandlerReference(const std::string& reference, std::string& pageFile, std::string& label);

}  // namespace kivo
