// The event queue and handler references.
#include "engine/event_list.h"

#include <algorithm>

#include "support/sjis.h"

namespace kivo {

void TTimerList::RaiseEvent(std::string handler, TSender sender, std::vector<std::string> arguments, int code) {
  auto entry = std::make_unique<TEventEntry>();
  entry->handler = std::move(handler);
  entry->sender = std::move(sender);
  entry->arguments = std::move(arguments);
  entry->code = code;
  entries_.push_back(std::move(entry));
}

TEventEntry* TTimerList::FirstPending() {
  for (auto& e : entries_)
    if (e->level == 0) return e.get();
  return nullptr;
}

void TTimerList::RemoveLevels(int from, int to) {
  std::erase_if(entries_, [&](const auto& e) { return e->level >= from && e->level <= to && e->level != 0; });
}

void TTimerList::RemoveRunning() {
  std::erase_if(entries_, [](const auto& e) { return e->level != 0; });
}

void SplitHandlerReference(const std::string& reference, std::string& pageFile, std::string& label) {
  size_t lastStop = 0, lastColon = std::string::npos;
  for (size_t i = 0; i < reference.size(); i += static_cast<size_t>(SjisCharLength(reference, i))) {
    char c = reference[i];
    if (IsLeadByte(c)) continue;
    if (c == '.' || c == '\\') {
      lastStop = i + 1;
      lastColon = std::string::npos;
    } else if (c == ':' && i >= lastStop) {
      lastColon = i;
    }
  }
  std::string page = lastColon == std::string::npos ? reference : reference.substr(0, lastColon);
  label = lastColon == std::string::npos ? std::string() : reference.substr(lastColon + 1);
  pageFile = page.size() >= 3 ? page.substr(0, page.size() - 3) + "ksb" : page;
}

}  // namespace kivo
