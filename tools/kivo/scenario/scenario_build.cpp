// kivo build and kivo dump over folders and stored files.
#include "scenario_build.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "page_text.h"
#include "platform/cp932.h"
#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "project_text.h"
#include "support/sjis.h"
#include "support/stream.h"
#include "vfs/disk_names.h"

namespace fs = std::filesystem;

namespace kivo::scenario {
namespace {

const char kProjectSource[] = "project.txt";
const char kPageSuffix[] = ".kss";

std::string ReadFile(const fs::path& path) {
  std::string bytes;
  if (!ReadWholeFile(path.string(), bytes)) throw EKivoError("cannot read " + path.string());
  return bytes;
}

// A source text without the byte-order mark some editors put before UTF-8.
std::string ReadSource(const fs::path& path) {
  std::string text = ReadFile(path);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  return text;
}

// Written under a temporary name and renamed, so a failed build never leaves half a file.
void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  if (!WriteFileAtomically(path.string(), bytes)) throw EKivoError("cannot write " + path.string());
}

std::string LowerName(std::string s) {
  for (char& c : s) c = AsciiLower(c);
  return s;
}

bool EndsWith(const std::string& s, const std::string& suffix) { return LowerName(s).ends_with(suffix); }

// "sub/intro.kss" -> "sub\\intro.ksb" in CP932.
std::string DataName(const std::string& relativeUtf8) {
  std::string name = Utf8ToCp932(relativeUtf8);
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

std::string Bytes(const TMemoryStream& s) {
  return std::string(s.Bytes().begin(), s.Bytes().end());
}

void Fill(TMemoryStream& s, const std::string& bytes) {
  s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  s.SetPosition(0);
}

std::string SourceName(const std::string& dataName) {
  std::string utf8 = Cp932ToUtf8(dataName);
  for (char& c : utf8)
    if (c == '\\') c = '/';
  return utf8;
}

}  // namespace

TBuildResult BuildGame(const std::string& src, const std::string& out) {
  fs::path root(src), target(out);
  if (!fs::is_directory(root)) throw EKivoError("no such folder: " + src);
  std::error_code ec;
  fs::path targetFull = fs::weakly_canonical(target, ec);
  fs::path projectPath = root / kProjectSource;
  if (!fs::is_regular_file(projectPath)) throw EKivoError(projectPath.string() + " is missing");

  std::vector<TSourceError> errors;
  std::vector<TPageSource> pages;
  std::vector<std::pair<fs::path, std::string>> assets;  // file, relative name
  std::map<std::string, std::string> outputs;            // lower-case output name -> what writes it
  auto claim = [&](const std::string& name, const std::string& by) {
    auto [it, fresh] = outputs.emplace(LowerName(name), by);
    if (!fresh) errors.push_back({by, 1, 1, "writes " + name + " like " + it->second + " (names ignore case)"});
  };
  claim("kivo.kpb", kProjectSource);
  claim("install.dat", kProjectSource);

  std::vector<fs::path> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    if (it->is_directory() && fs::weakly_canonical(it->path(), ec) == targetFull) {
      it.disable_recursion_pending();
      continue;
    }
    // Hidden files (.gitignore, .keep) and folders belong to the source tree, not to the game.
    if (it->path().filename().string().starts_with(".")) {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file()) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::string relative = fs::relative(file, root).generic_string();
    if (relative == kProjectSource) continue;
    if (!IsUtf8RepresentableInCp932(relative)) {
      errors.push_back({relative, 1, 1, "the file name has characters without a Shift-JIS form"});
      continue;
    }
    if (EndsWith(relative, kPageSuffix)) {
      std::string pageName = relative.substr(0, relative.size() - 4) + ".ksb";
      claim(pageName, relative);
      pages.push_back({relative, DataName(pageName), ReadSource(file)});
    } else {
      claim(relative, relative);
      assets.push_back({file, relative});
    }
  }

  TProjectText project;
  try {
    project = ParseProjectText(kProjectSource, ReadSource(projectPath));
  } catch (const ESourceErrors& e) {
    errors.insert(errors.end(), e.Errors().begin(), e.Errors().end());
  }
  std::vector<std::unique_ptr<TPage>> compiled;
  try {
    compiled = CompilePages(pages);
  } catch (const ESourceErrors& e) {
    errors.insert(errors.end(), e.Errors().begin(), e.Errors().end());
  }
  if (errors.empty()) {
    auto names = [&](const std::string& page, int line, const char* key) {
      if (page.empty()) return;
      std::string wanted = LowerName(SourceName(page));
      if (!outputs.count(wanted))
        errors.push_back({kProjectSource, line, 1, std::string(key) + " page " + SourceName(page) + " is not built"});
    };
    names(project.setting.startPage, project.startLine, "the start");
    if (project.setting.startPage.empty()) errors.push_back({kProjectSource, 1, 1, "no start page (start = main.ksb)"});
  }
  if (!errors.empty()) throw ESourceErrors(std::move(errors));

  // Everything is known to be good: write.
  TMemoryStream setting, install;
  project.setting.SaveToStream(setting);
  project.install.SaveToStream(install);
  WriteFile(target / "kivo.kpb", Bytes(setting));
  WriteFile(target / "install.dat", Bytes(install));
  for (size_t i = 0; i < pages.size(); ++i)
    WriteFile(target / SourceName(compiled[i]->Name()), PageBytes(*compiled[i]));
  for (const auto& [file, relative] : assets) WriteFile(target / relative, ReadFile(file));
  return {static_cast<int>(pages.size()), static_cast<int>(assets.size())};
}

namespace {

struct TLoaded {
  std::vector<std::pair<std::string, std::unique_ptr<TPage>>> pages;
  std::unique_ptr<TProjectSetting> setting;
  std::unique_ptr<TKivoInstallSet> install;
};

TLoaded Load(const std::vector<TNamedFile>& files) {
  TLoaded loaded;
  for (const TNamedFile& f : files) {
    std::string lower = LowerName(f.name);
    size_t slash = lower.rfind('\\');
    std::string base = slash == std::string::npos ? lower : lower.substr(slash + 1);
    TMemoryStream stream;
    Fill(stream, f.bytes);
    if (lower.ends_with(".ksb")) {
      auto page = std::make_unique<TPage>();
      page->LoadFromStream(stream);
      page->SetName(f.name);
      loaded.pages.emplace_back(f.name, std::move(page));
    } else if (base.ends_with(".kpb")) {
      loaded.setting = std::make_unique<TProjectSetting>();
      loaded.setting->LoadFromStream(stream);
    } else if (base == "install.dat") {
      loaded.install = std::make_unique<TKivoInstallSet>();
      loaded.install->LoadFromStream(stream);
    }
  }
  return loaded;
}

TPageFinder FinderOf(const TLoaded& loaded) {
  return [&loaded](const std::string& name) -> const TPage* {
    std::string wanted = LowerName(name);
    for (char& c : wanted)
      if (c == '/') c = '\\';
    for (const auto& [n, page] : loaded.pages)
      if (LowerName(n) == wanted) return page.get();
    return nullptr;
  };
}

}  // namespace

std::string DumpFiles(const std::vector<TNamedFile>& files) {
  TLoaded loaded = Load(files);
  TPageFinder find = FinderOf(loaded);
  size_t shown = loaded.pages.size() + (loaded.setting ? 1 : 0);
  std::string text;
  auto section = [&](const std::string& title, const std::string& body) {
    if (shown > 1) text += (text.empty() ? "" : "\n") + ("=== " + title + " ===\n");
    text += body;
  };
  if (loaded.setting) section("kivo.kpb", PrintProjectText(*loaded.setting, loaded.install.get()));
  for (const auto& [name, page] : loaded.pages) section(SourceName(name), PrintPage(*page, find));
  return text;
}

int WriteSourceFolder(const std::vector<TNamedFile>& files, const std::string& outFolder) {
  TLoaded loaded = Load(files);
  TPageFinder find = FinderOf(loaded);
  std::vector<std::pair<fs::path, std::string>> out;
  if (loaded.setting) out.push_back({kProjectSource, PrintProjectText(*loaded.setting, loaded.install.get())});
  for (const auto& [name, page] : loaded.pages) {
    // A stored name is the archive's word, not ours: one that would land outside is refused.
    std::string source = SafeRelativePath(name);
    if (source.empty()) throw EKivoError("refused " + Cp932ToUtf8(name) + ": it would land outside " + outFolder);
    out.push_back({source.substr(0, source.size() - 4) + kPageSuffix, PrintPage(*page, find)});
  }
  for (const auto& [relative, text] : out) WriteFile(fs::path(outFolder) / relative, text);
  return static_cast<int>(loaded.pages.size());
}

}  // namespace kivo::scenario
