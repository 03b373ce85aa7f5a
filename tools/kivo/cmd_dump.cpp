// kivo dump: prints pages, project files and whole archives in the scenario text form.
#include <cstdio>

#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "scenario/scenario_build.h"
#include "support/sjis.h"
#include "support/stream.h"
#include "tool_command.h"

namespace kivo::tool {

extern const char kDumpHelp[] =
    "usage: kivo dump FILE [-o DIR]\n"
    "\n"
    "Prints FILE in the text form that kivo build reads: a page (.ksb), a project file\n"
    "(kivo.kpb), or an archive (game.dat and the other forms kivo ls opens), whose pages and\n"
    "project file are printed one after another. Building the printed text gives the same bytes.\n"
    "With -o, writes DIR/project.txt and DIR/NAME.kss for each page instead, a source folder for\n"
    "kivo build (other files of the game are not copied).\n";

namespace {

// Host paths are UTF-8: only their ASCII letters fold.
bool EndsWithLower(std::string s, const std::string& suffix) {
  for (char& c : s) c = AsciiLower(c);
  return s.ends_with(suffix);
}

std::vector<scenario::TNamedFile> FilesOf(const std::string& path) {
  if (EndsWithLower(path, ".ksb") || EndsWithLower(path, ".kpb") || EndsWithLower(path, "install.dat")) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) throw EKivoError("cannot read " + path);
    size_t slash = path.rfind('/');
    return {{slash == std::string::npos ? path : path.substr(slash + 1), bytes}};
  }
  std::vector<scenario::TNamedFile> files;
  auto archive = OpenArchive(path);
  for (int i = 0; i < archive->EntryCount(); ++i) {
    const TVrFile& entry = archive->Entry(i);
    std::string lower = SjisLowerCase(entry.Name());
    if (!lower.ends_with(".ksb") && !lower.ends_with("kivo.kpb") && !lower.ends_with("install.dat")) continue;
    TMemoryStream data;
    archive->ReadEntryData(entry, data);
    files.push_back({entry.Name(), std::string(data.Bytes().begin(), data.Bytes().end())});
  }
  return files;
}

}  // namespace

int DumpCommand(const std::vector<std::string>& args) {
  TArguments a = ParseArguments(args, {"-o"});
  if (a.positional.size() != 1) throw TUsageError{"expected one FILE"};
  std::vector<scenario::TNamedFile> files = FilesOf(a.positional[0]);
  if (const std::string* out = a.Option("-o")) {
    int pages = scenario::WriteSourceFolder(files, *out);
    std::printf("%d pages written into %s\n", pages, out->c_str());
    return kExitOk;
  }
  std::string text = scenario::DumpFiles(files);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kExitOk;
}

}  // namespace kivo::tool
