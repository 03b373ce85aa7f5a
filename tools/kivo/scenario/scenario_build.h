// Building a game source folder into the player's files, and dumping those files as text.
#pragma once

#include <string>
#include <vector>

namespace kivo::scenario {

struct TBuildResult {
  int pages = 0;
  int assets = 0;
};

// Reads SRC/project.txt and SRC/**/*.kss, copies every other file of SRC as it is (subfolders
// kept), and writes kivo.kpb, install.dat and one .ksb per page into out. Everything is compiled
// and checked before the first file is written: a source with errors raises ESourceErrors and
// leaves out untouched. A folder out inside src is not read as source.
TBuildResult BuildGame(const std::string& src, const std::string& out);

// A stored file: its data name (CP932, "\" between folders) and its bytes.
struct TNamedFile {
  std::string name;
  std::string bytes;
};

// The text of stored files: pages (.ksb), the project file (kivo.kpb) and install.dat; other
// files are left out. A single file prints alone; several print each after a "=== NAME ==="
// line, the project first, and their Jump and Call targets may name labels across the pages.
std::string DumpFiles(const std::vector<TNamedFile>& files);

// Writes the files as a source folder that BuildGame reads back: project.txt and one .kss per
// page. Assets are not part of a dump. Returns the number of pages written.
int WriteSourceFolder(const std::vector<TNamedFile>& files, const std::string& outFolder);

}  // namespace kivo::scenario
