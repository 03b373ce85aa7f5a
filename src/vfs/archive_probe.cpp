// The last-bytes and resource tests of program files.
#include "vfs/archive_probe.h"

#include "platform/file_system.h"
#include "vfs/pe_resource.h"

namespace kivo {
namespace {

bool EndsWith(const std::string& path, int64_t end, const char (&two)[3]) {
  auto file = TFileHandle::Open(path, FileAccess::Read);
  if (!file || end < 2) return false;
  char last[2];
  return file->ReadAt(end - 2, last, 2) == 2 && last[0] == two[0] && last[1] == two[1];
}

}  // namespace

bool HasAppendedArchive(const std::string& path) {
  TFileFacts facts = FileFactsOf(path);
  return facts.exists && !facts.isFolder && EndsWith(path, facts.size, "kv");
}

bool HasResourceArchive(const std::string& path) {
  auto span = FindPeResource(path, kResourceArchiveName, kResourceArchiveType);
  return span && EndsWith(path, span->offset + span->size, "vf");
}

}  // namespace kivo
