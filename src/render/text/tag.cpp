// Reading tag names and attributes; names compare ignoring case.
#include "render/text/tag.h"

#include <cstdint>

#include "render/text/markup_text.h"
#include "support/sjis.h"

namespace kivo {

namespace {

// Offset of the first single-byte character of set at or after from, or s.size().
size_t FindChar(std::string_view s, size_t from, std::string_view set) {
  for (size_t i = from; i < s.size(); i += SjisCharLength(s, i))
    if (SjisCharLength(s, i) == 1 && set.find(s[i]) != std::string_view::npos) return i;
  return s.size();
}

}  // namespace

bool TTag::IsTag(std::string_view token) {
  return token.size() > 1 && token.front() == '<' && token.back() == '>' &&
         !StartsWithNoCase(token, "<!--") && !StartsWithNoCase(token, "<SCRIPT") &&
         !StartsWithNoCase(token, "<STYLE");
}

TTag TTag::Parse(std::string_view token) {
  TTag tag;
  std::string rest = TrimMarkup(token.substr(1, token.size() - 2));
  bool first = true;
  while (!rest.empty()) {
    std::string_view s = rest;
    size_t nameEnd = FindChar(s, 0, " =");
    TAttribute item{std::string(s.substr(0, nameEnd)), "", false};
    size_t next = nameEnd;
    if (next < s.size() && s[next] == '=') {
      ++next;  // the "=" is consumed even when no value follows it
      if (next < s.size() && s[next] != ' ') {
        item.HasValue = true;
        char quote = s[next];
        if (quote == '"' || quote == '\'') {
          size_t close = FindChar(s, next + 1, std::string_view(&quote, 1));
          if (close < s.size()) {
            item.Value = s.substr(next + 1, close - next - 1);
            next = close + 1;
          } else {
            // An unclosed quote: the value runs to the next space.
            size_t end = FindChar(s, next + 1, " ");
            item.Value = s.substr(next + 1, end - next - 1);
            next = end;
          }
        } else {
          size_t end = FindChar(s, next, " ");
          item.Value = s.substr(next, end - next);
          next = end;
        }
      }
    }
    if (first) {
      tag.name_ = item.Name;
      first = false;
    } else {
      tag.attributes_.push_back(std::move(item));
    }
    rest = TrimMarkup(s.substr(next));
  }
  return tag;
}

bool TTag::IsNamed(std::string_view name) const { return SjisSameText(name_, name); }

const TTag::TAttribute* TTag::Find(std::string_view name) const {
  for (const TAttribute& a : attributes_)
    if (SjisSameText(a.Name, name)) return &a;
  return nullptr;
}

std::string TTag::Value(std::string_view name) const {
  const TAttribute* a = Find(name);
  return a != nullptr ? a->Value : std::string();
}

}  // namespace kivo
