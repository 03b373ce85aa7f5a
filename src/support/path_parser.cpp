// TPathParser, ResolvePath, SplitSuffix and the "\" helpers.
#include "support/path_parser.h"

#include "support/sjis.h"

namespace kivo {

namespace {

// 0-based offset of the first "\" character at or after from (from lies on a character start).
size_t FindBackslash(std::string_view s, size_t from) {
  for (size_t i = from; i < s.size(); i += SjisCharLength(s, i)) {
    if (s[i] == '\\' && SjisCharLength(s, i) == 1) return i;
  }
  return std::string_view::npos;
}

// The offset after the first count characters.
size_t AfterCharacters(std::string_view s, int count) {
  size_t i = 0;
  for (int k = 0; k < count && i < s.size(); ++k) i += SjisCharLength(s, i);
  return i;
}

}  // namespace

size_t LastBackslash(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t i = FindBackslash(path, 0); i != std::string_view::npos; i = FindBackslash(path, i + 1)) last = i;
  return last;
}

bool EndsWithBackslash(std::string_view path) {
  return !path.empty() && path.back() == '\\' && !IsTrailByteAt(path, path.size() - 1);
}

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (!EndsWithBackslash(out)) out += '\\';
  return out;
}

void TPathParser::Parse(std::string_view path) {
  components_.clear();
  if (path.empty()) return;
  std::string p = IncludeTrailingBackslash(SjisUpperCase(path));
  size_t rest = 0;
  if (p.starts_with("\\\\")) {
    // The server part runs to the "\" that ends the server name.
    size_t end = p.size() > 3 ? FindBackslash(p, AfterCharacters(p, 3)) : std::string::npos;
    rest = end == std::string::npos ? p.size() : end + 1;
  } else if (p.size() >= 2 && p[1] == ':') {
    rest = AfterCharacters(p, 3);
  }
  if (rest > 0) components_.push_back(p.substr(0, rest));
  while (rest < p.size()) {
    size_t end = FindBackslash(p, rest);
    size_t next = end == std::string::npos ? p.size() : end + 1;
    components_.push_back(p.substr(rest, next - rest));
    rest = next;
  }
}

std::string TPathParser::Join() const {
  std::string out;
  for (const std::string& c : components_) out += c;
  return out;
}

std::string ResolvePath(std::string_view path, std::string_view base) {
  if (path.size() <= 1 || path[0] == '\\' || path[1] == ':') return std::string(path);
  if (!path.starts_with("..\\")) return std::string(base) + std::string(path);
  TPathParser parser;
  parser.Parse(base);
  while (parser.Count() > 0 && path.starts_with("..\\")) {
    parser.Delete(parser.Count() - 1);
    path.remove_prefix(3);
  }
  return parser.Join() + std::string(path);
}

void SplitSuffix(std::string& name, std::string& suffix) {
  // The last ".", "\" or ":" character after the first one decides; only a ":" splits.
  size_t last = std::string::npos;
  for (size_t i = 0; i < name.size(); i += SjisCharLength(name, i)) {
    char c = name[i];
    if (i > 0 && SjisCharLength(name, i) == 1 && (c == '.' || c == '\\' || c == ':')) last = i;
  }
  if (last != std::string::npos && name[last] == ':') {
    suffix = name.substr(last + 1);
    name.erase(last);
  } else {
    suffix.clear();
  }
}

}  // namespace kivo
