// kivo x: extracts entries into a folder, never outside it.
#include <cstdio>

#include "platform/cp932.h"
#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "support/sjis.h"
#include "tool_command.h"
#include "vfs/disk_names.h"
#include "vfs/file_stream.h"

namespace kivo::tool {

extern const char kExtractHelp[] =
    "usage: kivo x ARCHIVE [-C DIR] [NAME ...]\n"
    "\n"
    "Extracts every entry, or the named ones (names compare ignoring case; \"/\" or \"\\\" between\n"
    "folders), into DIR (default: the current folder). Names become UTF-8 paths with \"/\".\n"
    "An entry whose name is absolute or climbs out with \"..\" is refused, so nothing is ever\n"
    "written outside DIR. Each file is written under a temporary name and renamed when complete.\n"
    "Exit status 1 when an entry was refused, damaged or not found.\n";

int ExtractCommand(const std::vector<std::string>& args) {
  TArguments a = ParseArguments(args, {"-C"});
  if (a.positional.empty()) throw TUsageError{"expected an ARCHIVE"};
  std::string folder = a.Option("-C") ? *a.Option("-C") : std::string(".");
  if (folder.empty()) folder = ".";
  if (folder.back() != '/') folder.push_back('/');
  auto source = OpenArchive(a.positional[0]);

  std::vector<const TVrFile*> chosen;
  int failures = 0;
  if (a.positional.size() == 1) {
    for (int i = 0; i < source->EntryCount(); ++i) chosen.push_back(&source->Entry(i));
  } else {
    for (size_t k = 1; k < a.positional.size(); ++k) {
      std::string wanted = Utf8ToCp932(a.positional[k]);
      for (char& c : wanted)
        if (c == '/') c = '\\';
      const TVrFile* entry = source->EntryOf(wanted);
      if (!entry) {
        Complain("x", "no entry " + a.positional[k]);
        ++failures;
      } else {
        chosen.push_back(entry);
      }
    }
  }
  if (!MakeFolders(folder)) throw EKivoError("cannot create " + PathForMessage(folder));

  for (const TVrFile* entry : chosen) {
    std::string relative = SafeRelativePath(entry->Name());
    if (relative.empty()) {
      Complain("x", "refused " + DisplayName(entry->Name()) + ": it would land outside " + folder);
      ++failures;
      continue;
    }
    std::string path = folder + relative;
    try {
      size_t slash = path.rfind('/');
      if (!MakeFolders(path.substr(0, slash + 1))) throw EKivoError("cannot create the folder of " + PathForMessage(path));
      TAtomicFile file(path);
      source->ReadEntryData(*entry, file.Stream());
      file.Commit();
    } catch (const EKivoError& e) {
      Complain("x", DisplayName(entry->Name()) + ": " + Cp932ToUtf8(e.what()));
      ++failures;
    }
  }
  return failures ? kExitFailed : kExitOk;
}

}  // namespace kivo::tool
