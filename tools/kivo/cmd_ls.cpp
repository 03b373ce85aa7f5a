// kivo ls: one line per entry and a summary.
#include <cstdio>

#include "entry_check.h"
#include "platform/cp932.h"
#include "platform/file_system.h"
#include "tool_command.h"

namespace kivo::tool {

extern const char kLsHelp[] =
    "usage: kivo ls ARCHIVE\n"
    "\n"
    "Lists every entry of ARCHIVE: plain size, stored size, storage (zlib or plain), time stamp,\n"
    "checksum and name (UTF-8, \"/\" between folders), then a summary line. ARCHIVE may be a\n"
    "game.dat (with its volumes game.001 ...), an archive with an .ext index beside it, a program\n"
    "file with an appended archive, or a Windows program carrying the resource archive.\n"
    "Exit status 1 when an entry cannot be decompressed.\n";

int LsCommand(const std::vector<std::string>& args) {
  TArguments a = ParseArguments(args, {});
  if (a.positional.size() != 1) throw TUsageError{"expected one ARCHIVE"};
  auto source = OpenArchive(a.positional[0]);
  std::printf("%12s %12s %-5s %-19s %-8s  %s\n", "plain", "stored", "kind", "time", "checksum", "name");
  int64_t plainTotal = 0, storedTotal = 0;
  int damaged = 0;
  for (int i = 0; i < source->EntryCount(); ++i) {
    const TVrFile& entry = source->Entry(i);
    TEntryFacts facts = ExamineEntry(*source, entry);
    char plain[32];
    if (facts.readable)
      std::snprintf(plain, sizeof plain, "%lld", static_cast<long long>(facts.plainSize));
    else
      std::snprintf(plain, sizeof plain, "damaged");
    std::printf("%12s %12lld %-5s %-19s %08X  %s\n", plain, static_cast<long long>(entry.size),
                entry.IsPlain() ? "plain" : "zlib", DosDateTimeText(entry.timeStamp).c_str(), entry.checksum,
                DisplayName(entry.Name()).c_str());
    if (!facts.readable) {
      ++damaged;
      Complain("ls", DisplayName(entry.Name()) + ": " + Cp932ToUtf8(facts.problem));
    }
    plainTotal += facts.plainSize;
    storedTotal += entry.size;
  }
  std::printf("%d entries, %lld bytes plain, %lld bytes stored, archive version %d\n", source->EntryCount(),
              static_cast<long long>(plainTotal), static_cast<long long>(storedTotal), source->Version());
  return damaged ? kExitFailed : kExitOk;
}

}  // namespace kivo::tool
