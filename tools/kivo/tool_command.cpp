// Argument splitting, archive opening and messages shared by the subcommands.
#include "tool_command.h"

#include <cstdio>

#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/kivo_error.h"
#include "vfs/archive_probe.h"

namespace kivo::tool {

const std::string* TArguments::Option(const std::string& name) const {
  for (const auto& [key, value] : options)
    if (key == name) return &value;
  return nullptr;
}

TArguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions) {
  TArguments parsed;
  bool onlyPositional = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPositional || a.size() < 2 || a[0] != '-') {
      parsed.positional.push_back(a);
      continue;
    }
    if (a == "--") {
      onlyPositional = true;
      continue;
    }
    bool known = false;
    for (const std::string& option : valueOptions) {
      if (a == option) {
        if (i + 1 >= args.size()) throw TUsageError{"option " + a + " needs a value"};
        parsed.options.emplace_back(a, args[++i]);
        known = true;
      }
    }
    if (!known) throw TUsageError{"unknown option " + a};
  }
  return parsed;
}

std::unique_ptr<TVrFileCollection> OpenArchive(const std::string& path) {
  auto source = std::make_unique<TVrFileCollection>();
  TFileFacts facts = FileFactsOf(path);
  if (!facts.exists) throw EKivoError("no such file: " + PathForMessage(path));
  if (facts.isFolder) throw EKivoError(PathForMessage(path) + " is a folder, not an archive");
  if (HasResourceArchive(path))
    source->OpenResource(path, kResourceArchiveName, kResourceArchiveType);
  else
    source->Open(path);
  return source;
}

std::string DisplayName(const std::string& dataName) {
  std::string name = Cp932ToUtf8(dataName);
  // After conversion every "\" is a real delimiter (trail bytes are gone).
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

void Complain(const char* command, const std::string& messageUtf8) {
  std::fprintf(stderr, "kivo %s: %s\n", command, messageUtf8.c_str());
}

}  // namespace kivo::tool
