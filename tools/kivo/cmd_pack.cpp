// kivo pack: writes a folder as a version-102 archive with the archive writer's storage rules.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>

#include "platform/cp932.h"
#include "platform/dir_listing.h"
#include "platform/file_system.h"
#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "tool_command.h"
#include "vfs/big_file_stream.h"
#include "vfs/file_stream.h"

namespace kivo::tool {

extern const char kPackHelp[] =
    "usage: kivo pack DIR -o OUT.dat\n"
    "\n"
    "Writes every file below DIR into a version-102 archive. Names are the paths below DIR,\n"
    "converted from UTF-8 to Shift-JIS with \"\\\" between folders. Media (.wav .wma .ogg .avi\n"
    "and the other movie formats, .dat), files of 5 MiB or more and files that do not shrink\n"
    "below nine tenths are stored plain; the rest is compressed. The archive is written under a\n"
    "temporary name and renamed when complete; old volumes (OUT.001 ...) and an old OUT.ext index\n"
    "beside it are removed, since they would be read as part of the new archive.\n";

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

void CollectFiles(const std::string& root, const std::string& relative, const std::string& skip,
                  std::vector<std::string>& out) {
  std::vector<TDirEntry> items;
  ListDirectory(root + relative, items);
  for (const TDirEntry& item : items) {
    std::string path = relative + item.name;
    if (item.isFolder && item.isSymlink)
      Complain("pack", "skipped the linked folder " + path + " (a link may lead back into DIR)");
    else if (item.isFolder)
      CollectFiles(root, path + "/", skip, out);
    else if (!SameFile(root + path, skip))
      out.push_back(path);
  }
}

class TProgressBar {
public:
  explicit TProgressBar(int64_t total) : total_(std::max<int64_t>(total, 1)), shown_(::isatty(2) == 1) {}
  ~TProgressBar() {
    if (shown_) std::fputs("\n", stderr);
  }
  void Show(int64_t done, const std::string& name) {
    if (!shown_) return;
    int width = 30;
    int filled = static_cast<int>(done * width / total_);
    std::string label = name.size() > 40 ? "..." + name.substr(name.size() - 37) : name;
    std::fprintf(stderr, "\r[%s%s] %3d%% %-40s", std::string(static_cast<size_t>(filled), '#').c_str(),
                 std::string(static_cast<size_t>(width - filled), ' ').c_str(), static_cast<int>(done * 100 / total_),
                 label.c_str());
    std::fflush(stderr);
  }

private:
  int64_t total_;
  bool shown_;
};

}  // namespace

int PackCommand(const std::vector<std::string>& args) {
  TArguments a = ParseArguments(args, {"-o"});
  if (a.positional.size() != 1 || !a.Option("-o")) throw TUsageError{"expected DIR and -o OUT"};
  std::string root = a.positional[0];
  const std::string& out = *a.Option("-o");
  if (!FolderExists(root)) throw EKivoError("no such folder: " + PathForMessage(root));
  if (root.back() != '/') root.push_back('/');

  std::vector<std::string> files;
  CollectFiles(root, "", out, files);
  TVrFileCollection source;
  source.SetFolder(root);
  std::vector<int64_t> sizes;
  int64_t total = 0;
  for (const std::string& file : files) {
    if (!IsUtf8RepresentableInCp932(file)) throw EKivoError("the name " + file + " has no Shift-JIS spelling");
    std::string name = Utf8ToCp932(file);
    for (char& c : name)
      if (c == '/') c = '\\';
    if (source.EntryOf(name)) throw EKivoError("two files share the name " + name + " (names ignore case)");
    source.AddFileEntry(name);
    sizes.push_back(FileFactsOf(root + file).size);
    total += sizes.back();
  }

  TProgressBar bar(total);
  int64_t done = 0;
  source.SetProgress([&](const TWriteProgress& p) {
    if (p.bytesWritten < 0) bar.Show(done, files[static_cast<size_t>(p.index)]);
    else done += sizes[static_cast<size_t>(p.index)];
    return true;
  });
  source.SetStoreError([](const std::string& name, const std::string& message) {
    Complain("pack", DisplayName(name) + ": " + Cp932ToUtf8(message));
  });
  {
    TAtomicFile file(out);
    source.WriteArchive(file.Stream());
    file.Commit();
  }
  bar.Show(total, "");
  for (int i = 1; FileExists(TTpBigFileStream::VolumeName(out, i)); ++i) DeleteFile(TTpBigFileStream::VolumeName(out, i));
  size_t slash = out.rfind('/'), dot = out.rfind('.');
  std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? out.substr(0, dot) : out;
  if (stem + ".ext" != out && FileExists(stem + ".ext")) DeleteFile(stem + ".ext");
  std::printf("%zu files, %lld bytes packed into %s\n", files.size(), static_cast<long long>(total), out.c_str());
  return kExitOk;
}

}  // namespace kivo::tool
