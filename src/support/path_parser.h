// Windows-style path text: TPathParser, ResolvePath, SplitSuffix and the "\" helpers (all aware
// of double-byte characters, whose trail byte may be 0x5C).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// True when the last character (not a trail byte) is "\".
bool EndsWithBackslash(std::string_view path);
std::string IncludeTrailingBackslash(std::string_view path);
// 0-based offset of the last "\" that is a character of its own, or npos.
size_t LastBackslash(std::string_view path);

// The components of one path: a drive ("C:\") or server ("\\SERVER\") part, then one component
// per folder, each ending with its "\". Everything is upper-cased.
class TPathParser {
public:
  void Parse(std::string_view path);
  std::string Join() const;
  int Count() const { return static_cast<int>(components_.size()); }
  const std::vector<std::string>& Components() const { return components_; }
  void Delete(int i) { components_.erase(components_.begin() + i); }
  void Clear() { components_.clear(); }

private:
  std::vector<std::string> components_;
};

// A path relative to base: leading "..\" climb out of base's components; absolute paths (leading
// "\" or a drive) and one-character paths are kept as they are.
std::string ResolvePath(std::string_view path, std::string_view base);

// Cuts a ":suffix" off the last path component of name; suffix becomes "" when there is none.
void SplitSuffix(std::string& name, std::string& suffix);

}  // namespace kivo
