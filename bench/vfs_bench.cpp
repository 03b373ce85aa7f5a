// Reading game data through the data file manager against zlib and raw reads of the same bytes,
// opening a directory of 100 000 entries, and disk-name look-ups in a folder of 10 000 files.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "support/binary_io.h"
#include "support/tp_random.h"
#include "vfs/file_stream.h"
#include "vfs/vr_file_collection.h"
#include "vfs/vr_file_manager.h"

namespace {

using namespace kivo;

constexpr int kTextEntries = 100;         // 1 MiB each, compressed in the archive
constexpr int kMediaEntries = 20;         // 5 MB each, stored plain
constexpr int kDirectoryEntries = 100000;
constexpr int kLooseFiles = 10000;

// Text-like bytes: words from a small vocabulary with numbers, deflating to about a third.
std::string TextLike(std::mt19937& random, size_t size) {
  static const char* const words[] = {"the ", "message ", "window ", "shows ", "text ", "\x82\xa0", "\x82\xa2",
                                      "\x88\xea", "click ", "page ", "[wait] ", "\r\n", "choice ", "@var "};
  std::string s;
  s.reserve(size + 16);
  while (s.size() < size) {
    s += words[random() % std::size(words)];
    if (random() % 8 == 0) s += std::to_string(random() % 100000);
  }
  s.resize(size);
  return s;
}

// Fixture files need no flush to disk; they are removed when the run ends.
void WriteFixtureFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct TFixture {
  std::string folder;
  std::string archive;
  std::string bigDirectory;
  std::string looseFolder;
  std::vector<std::string> textNames, mediaNames, looseNames;
  std::vector<std::vector<uint8_t>> storedText;  // the compressed bytes, for the zlib baseline
  std::vector<int64_t> plainTextSizes;
  std::vector<std::pair<int64_t, int64_t>> mediaSpans;  // offset, size in the archive
  int64_t textBytes = 0, mediaBytes = 0;

  TFixture() {
    folder = TempFolder() + "kivo-vfs-bench-" + std::to_string(std::random_device{}()) + "/";
    std::filesystem::create_directories(folder + "src/scenario");
    std::filesystem::create_directories(folder + "src/movie");
    std::mt19937 random(7);
    TVrFileCollection source;
    source.SetFolder(folder + "src");
    for (int i = 0; i < kTextEntries; ++i) {
      std::string name = "scenario\\page" + std::to_string(i) + ".ksb";
      std::string text = TextLike(random, 1 << 20);
      WriteFixtureFile(folder + "src/scenario/page" + std::to_string(i) + ".ksb", text);
      source.AddFileEntry(name);
      textNames.push_back(name);
      plainTextSizes.push_back(static_cast<int64_t>(text.size()));
      textBytes += static_cast<int64_t>(text.size());
    }
    for (int i = 0; i < kMediaEntries; ++i) {
      std::string name = "movie\\clip" + std::to_string(i) + ".ogg";
      std::string media(5000000, '\0');
      for (char& c : media) c = static_cast<char>(random());
      WriteFixtureFile(folder + "src/movie/clip" + std::to_string(i) + ".ogg", media);
      source.AddFileEntry(name);
      mediaNames.push_back(name);
      mediaBytes += static_cast<int64_t>(media.size());
    }
    archive = folder + "game.dat";
    {
      TAtomicFile out(archive);
      source.WriteArchive(out.Stream());
      out.Commit();
    }
    std::filesystem::remove_all(folder + "src");

    TVrFileCollection written;
    written.Open(archive);
    for (const std::string& name : textNames) {
      TMemoryStream stored;
      written.ReadStoredBytes(*written.EntryOf(name), stored);
      storedText.push_back(stored.TakeBytes());
    }
    for (const std::string& name : mediaNames) {
      const TVrFile* entry = written.EntryOf(name);
      mediaSpans.emplace_back(entry->offset, entry->size);
    }

    TVrFileCollection many;
    for (int i = 0; i < kDirectoryEntries; ++i)
      many.AddMemoryEntry("graphic\\chara" + std::to_string(i / 100) + "\\face" + std::to_string(i) + ".bry");
    bigDirectory = folder + "many.dat";
    TAtomicFile out(bigDirectory);
    many.WriteArchive(out.Stream());
    out.Commit();

    looseFolder = folder + "loose/";
    std::filesystem::create_directories(looseFolder + "se");
    for (int i = 0; i < kLooseFiles; ++i) {
      std::string file = "Sound" + std::to_string(i) + ".WAV";
      WriteFixtureFile(looseFolder + "se/" + file, "RIFF");
      looseNames.push_back("SE\\sound" + std::to_string(i) + ".wav");  // another case than on disk
    }
  }
  ~TFixture() { std::filesystem::remove_all(folder); }
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

TVrFileManager& ArchiveManager() {
  static TVrFileManager* manager = [] {
    auto* m = new TVrFileManager();
    m->SetCdRomRoots({});
    m->RegisterArchive("");
    m->RegisterArchive(Fixture().archive);
    return m;
  }();
  return *manager;
}

void BM_ManagerReadCompressed(benchmark::State& state) {
  TFixture& f = Fixture();
  TVrFileManager& manager = ArchiveManager();
  TMemoryStream target;
  for (auto _ : state)
    for (const std::string& name : f.textNames) {
      manager.ReadFile(target, name);
      benchmark::DoNotOptimize(target.Memory());
    }
  state.SetBytesProcessed(state.iterations() * f.textBytes);
}

// zlib's own uncompress of the same stored bytes, from memory, into a buffer of the known size.
void BM_ZlibUncompressBaseline(benchmark::State& state) {
  TFixture& f = Fixture();
  std::vector<uint8_t> out(1 << 20);
  for (auto _ : state)
    for (size_t i = 0; i < f.storedText.size(); ++i) {
      uLongf size = static_cast<uLongf>(f.plainTextSizes[i]);
      if (::uncompress(out.data(), &size, f.storedText[i].data(), static_cast<uLong>(f.storedText[i].size())) != Z_OK)
        state.SkipWithError("uncompress failed");
      benchmark::DoNotOptimize(out.data());
    }
  state.SetBytesProcessed(state.iterations() * f.textBytes);
}

void BM_ManagerReadPlain(benchmark::State& state) {
  TFixture& f = Fixture();
  TVrFileManager& manager = ArchiveManager();
  TMemoryStream target;
  for (auto _ : state)
    for (const std::string& name : f.mediaNames) {
      manager.ReadFile(target, name);
      benchmark::DoNotOptimize(target.Memory());
    }
  state.SetBytesProcessed(state.iterations() * f.mediaBytes);
}

// A positioned read of the same byte ranges straight from the archive file into one buffer.
void BM_RawReadBaseline(benchmark::State& state) {
  TFixture& f = Fixture();
  auto file = TFileHandle::Open(f.archive, FileAccess::Read);
  std::vector<uint8_t> buffer(5000000);
  for (auto _ : state)
    for (const auto& [offset, size] : f.mediaSpans) {
      file->ReadAt(offset, buffer.data(), size);
      benchmark::DoNotOptimize(buffer.data());
    }
  state.SetBytesProcessed(state.iterations() * f.mediaBytes);
}

void BM_OpenDirectory100k(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    auto source = std::make_unique<TVrFileCollection>();
    source->Open(f.bigDirectory);
    benchmark::DoNotOptimize(source->Count());
    // Freeing the 100 000 entries is the collection's business, not part of opening.
    state.PauseTiming();
    source.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kDirectoryEntries);
}

// The least any reader does: read the directory's bytes and unscramble the names into strings.
void BM_OpenDirectoryBaseline(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    TFileStream file(f.bigDirectory, FileAccess::Read);
    std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
    file.ReadBuffer(bytes.data(), file.Size());
    TMemoryStream memory(std::move(bytes));
    TBinaryReader reader(memory);
    reader.Skip(6);
    int32_t n = reader.Int32();
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(n));
    TTpRandom scramble(kArchiveSeed);
    for (int32_t i = 0; i < n; ++i) {
      std::string name = reader.String();
      for (char& c : name) c = static_cast<char>(c ^ (scramble.Next() & 0xFF));
      names.push_back(std::move(name));
    }
    benchmark::DoNotOptimize(names.data());
  }
  state.SetItemsProcessed(state.iterations() * kDirectoryEntries);
}

TVrFileManager& LooseManager() {
  static TVrFileManager* manager = [] {
    auto* m = new TVrFileManager();
    m->SetCdRomRoots({});
    m->RegisterArchive("");
    m->SetBaseFolder(Fixture().looseFolder);
    return m;
  }();
  return *manager;
}

void BM_ExistsLooseFile(benchmark::State& state) {
  TFixture& f = Fixture();
  TVrFileManager& manager = LooseManager();
  size_t i = 0;
  for (auto _ : state) {
    if (!manager.Exists(f.looseNames[i])) state.SkipWithError("not found");
    i = (i + 7919) % f.looseNames.size();
  }
}

void BM_ReadLooseFile(benchmark::State& state) {
  TFixture& f = Fixture();
  TVrFileManager& manager = LooseManager();
  TMemoryStream target;
  size_t i = 0;
  for (auto _ : state) {
    manager.ReadFile(target, f.looseNames[i]);
    i = (i + 7919) % f.looseNames.size();
  }
}

// One stat of the exact spelling on disk: what a look-up costs without any case folding.
void BM_StatExactPathBaseline(benchmark::State& state) {
  TFixture& f = Fixture();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FileFactsOf(f.looseFolder + "se/Sound" + std::to_string(i) + ".WAV").exists);
    i = (i + 7919) % f.looseNames.size();
  }
}

BENCHMARK(BM_ManagerReadCompressed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibUncompressBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManagerReadPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawReadBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDirectory100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDirectoryBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExistsLooseFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadLooseFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StatExactPathBaseline)->Unit(benchmark::kMicrosecond);

}  // namespace
