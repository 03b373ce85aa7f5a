// The shared resolver and name helpers.
#include "vfs/disk_names.h"

#include "platform/cp932.h"
#include "support/sjis.h"

namespace kivo {

TNameResolver& DiskNames() {
  static TNameResolver resolver([](std::string_view s) { return SjisLowerCase(s); });
  return resolver;
}

std::vector<std::string> SplitDataName(std::string_view name) {
  std::vector<std::string> components(1);
  for (size_t i = 0; i < name.size();) {
    size_t n = SjisCharLength(name, i);
    if (n == 1 && (name[i] == '\\' || name[i] == '/'))
      components.emplace_back();
    else
      components.back().append(name.substr(i, n));
    i += n;
  }
  return components;
}

std::string SafeRelativePath(std::string_view dataName) {
  std::vector<std::string> components = SplitDataName(dataName);
  std::string path;
  for (size_t i = 0; i < components.size(); ++i) {
    const std::string& c = components[i];
    if (c.empty() || c == "." || c == "..") return {};
    // "C:" would be a drive on the system the name came from.
    if (i == 0 && c.size() == 2 && c[1] == ':') return {};
    if (!path.empty()) path.push_back('/');
    path += Cp932ToUtf8(c);
  }
  return path;
}

std::optional<std::string> FindDiskFile(const std::string& folder, std::string_view name, bool allowFolder) {
  if (name.empty()) return std::nullopt;
  if (name[0] == '/') return DiskNames().Resolve("/", SplitDataName(name.substr(1)), allowFolder);
  if (folder.empty()) return std::nullopt;
  return DiskNames().Resolve(folder, SplitDataName(name), allowFolder);
}

// Delimiters are found character by character: the trail byte of a double-byte character may
// be 0x5C, the backslash.
static size_t LastComponentStart(std::string_view name) {
  size_t start = 0;
  for (size_t i = 0; i < name.size(); i += SjisCharLength(name, i))
    if (name[i] == '\\' || name[i] == '/') start = i + 1;
  return start;
}

std::string BareNameOf(std::string_view name) { return std::string(name.substr(LastComponentStart(name))); }

std::string ExtensionOf(std::string_view name) {
  std::string bare = BareNameOf(name);
  size_t dot = std::string::npos;
  for (size_t i = 0; i < bare.size(); i += SjisCharLength(bare, i))
    if (bare[i] == '.') dot = i;
  return dot == std::string::npos ? std::string() : bare.substr(dot);
}

}  // namespace kivo
