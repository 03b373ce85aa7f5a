// The kivo tool as its users run it: pack, list, extract, append, verify, and its refusals.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "platform/paths.h"
#include "testkit/temp_folder.h"
#include "vfs/file_stream.h"
#include "vfs/pe_fixture.h"
#include "vfs/vr_file_collection.h"

namespace kivo {
namespace {

struct TRun {
  int status;
  std::string out;
};

TRun Kivo(const std::string& arguments) {
  std::string command = std::string(KIVO_BIN_DIR) + "/kivo " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer;
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string Q(const std::string& path) { return "'" + path + "'"; }

// Writes an archive of in-memory entries with the library's writer.
std::string MemoryArchive(const testkit::TempFolder& temp, const std::string& file,
                          const std::vector<std::pair<std::string, std::string>>& entries) {
  TVrFileCollection source;
  for (const auto& [name, bytes] : entries) source.AddMemoryEntry(name).memory->WriteBuffer(bytes.data(), bytes.size());
  TAtomicFile out(temp.File(file));
  source.WriteArchive(out.Stream());
  out.Commit();
  return temp.File(file);
}

void ExpectSameTree(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  size_t files = 0;
  for (const auto& e : fs::recursive_directory_iterator(a)) {
    if (!e.is_regular_file()) continue;
    ++files;
    fs::path other = fs::path(b) / fs::relative(e.path(), a);
    ASSERT_TRUE(fs::exists(other)) << other;
    std::string x, y;
    ReadWholeFile(e.path().string(), x);
    ReadWholeFile(other.string(), y);
    EXPECT_EQ(x, y) << other;
  }
  size_t otherFiles = 0;
  for (const auto& e : fs::recursive_directory_iterator(b)) otherFiles += e.is_regular_file();
  EXPECT_EQ(files, otherFiles);
}

TEST(KivoTool, PackThenExtractReproducesTheFolder) {
  testkit::TempFolder temp;
  std::string random(300000, '\0');
  for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 2654435761u) >> 13);
  temp.Write("src/readme.txt", "hello\n");
  temp.Write("src/\xe7\x94\xbb\xe5\x83\x8f/\xe8\x83\x8c\xe6\x99\xaf 01.png", random);  // 画像/背景 01.png
  temp.Write("src/\xe8\xa1\xa8/script.ksb", std::string(20000, 's'));                      // 表: trail byte 0x5C
  temp.Write("src/bgm/theme.ogg", random.substr(0, 5000));
  temp.Write("src/empty.bin", "");

  TRun pack = Kivo("pack " + Q(temp.File("src")) + " -o " + Q(temp.File("game.dat")));
  ASSERT_EQ(pack.status, 0) << pack.out;
  TRun extract = Kivo("x " + Q(temp.File("game.dat")) + " -C " + Q(temp.File("out")));
  ASSERT_EQ(extract.status, 0) << extract.out;
  ExpectSameTree(temp.File("src"), temp.File("out"));

  TRun ls = Kivo("ls " + Q(temp.File("game.dat")));
  ASSERT_EQ(ls.status, 0) << ls.out;
  EXPECT_NE(ls.out.find("\xe8\xa1\xa8/script.ksb"), std::string::npos) << ls.out;
  EXPECT_NE(ls.out.find("20000"), std::string::npos);
  EXPECT_NE(ls.out.find("5 entries"), std::string::npos);
  EXPECT_NE(ls.out.find(" plain "), std::string::npos);
  EXPECT_NE(ls.out.find(" zlib "), std::string::npos);

  // One named entry, asked for in another case.
  TRun one = Kivo("x " + Q(temp.File("game.dat")) + " -C " + Q(temp.File("one")) + " BGM/THEME.OGG");
  ASSERT_EQ(one.status, 0) << one.out;
  EXPECT_EQ(temp.Read("one/bgm/theme.ogg"), random.substr(0, 5000));
  EXPECT_NE(Kivo("x " + Q(temp.File("game.dat")) + " -C " + Q(temp.File("one")) + " missing.txt").status, 0);
}

TEST(KivoTool, PackLeavesOutItsOwnOutput) {
  testkit::TempFolder temp;
  temp.Write("src/a.txt", "a");
  // The same folder spelt another way than the output path.
  std::string pack = "pack " + Q(temp.File("src/.")) + " -o " + Q(temp.File("src/game.dat"));
  ASSERT_EQ(Kivo(pack).status, 0);
  ASSERT_EQ(Kivo(pack).status, 0);
  TRun ls = Kivo("ls " + Q(temp.File("src/game.dat")));
  EXPECT_NE(ls.out.find("1 entries"), std::string::npos) << ls.out;
}

TEST(KivoTool, ExtractionNeverLeavesTheTargetFolder) {
  testkit::TempFolder temp;
  std::string archive = MemoryArchive(temp, "evil.dat",
                                      {{"..\\..\\escaped.txt", "x"}, {"\\abs.txt", "y"}, {"C:\\drive.txt", "z"},
                                       {"ok\\fine.txt", "fine"}});
  TRun run = Kivo("x " + Q(archive) + " -C " + Q(temp.File("a/b")));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(temp.Read("a/b/ok/fine.txt"), "fine");
  EXPECT_FALSE(std::filesystem::exists(temp.File("escaped.txt")));
  EXPECT_FALSE(std::filesystem::exists("/abs.txt"));
  size_t files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(temp.Path())) files += e.is_regular_file();
  EXPECT_EQ(files, 2u);  // the archive and the one good entry
}

TEST(KivoTool, AppendedProgramsAndResourceArchivesList) {
  testkit::TempFolder temp;
  std::string archive = MemoryArchive(temp, "game.dat", {{"kivo.kpb", "project"}});
  std::string program = temp.Write("player", std::string("\x7f" "ELF pretend program", 20));
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  TRun append = Kivo("append " + Q(program) + " " + Q(archive) + " -o " + Q(temp.File("bundle")));
  ASSERT_EQ(append.status, 0) << append.out;
  EXPECT_NE(std::filesystem::status(temp.File("bundle")).permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::none);
  // Appending again replaces the archive rather than stacking a second one.
  ASSERT_EQ(Kivo("append " + Q(temp.File("bundle")) + " " + Q(archive) + " -o " + Q(temp.File("again"))).status, 0);
  EXPECT_EQ(std::filesystem::file_size(temp.File("again")), std::filesystem::file_size(temp.File("bundle")));

  std::string bytes;
  ReadWholeFile(archive, bytes);
  temp.Write("Original.exe", testkit::MinimalPeWithResource("BINTYPE", "DUMMY", bytes + "vf"));
  for (const char* file : {"bundle", "Original.exe"}) {
    TRun ls = Kivo("ls " + Q(temp.File(file)));
    EXPECT_EQ(ls.status, 0) << file << ls.out;
    EXPECT_NE(ls.out.find("kivo.kpb"), std::string::npos) << file << ls.out;
    EXPECT_EQ(Kivo("verify " + Q(temp.File(file))).status, 0) << file;
  }
}

TEST(KivoTool, VerifyReportsChecksumMismatches) {
  testkit::TempFolder temp;
  std::string archive = MemoryArchive(temp, "game.dat", {{"a.txt", std::string(1000, 'a')}, {"b.txt", "b"}});
  EXPECT_EQ(Kivo("verify " + Q(archive)).status, 0);
  // Flip one stored byte of the last entry (its last zlib byte, the end of the Adler checksum).
  {
    TFileStream file(archive, FileAccess::ReadWrite);
    file.Seek(-1, SeekOrigin::End);
    char c;
    file.ReadBuffer(&c, 1);
    c ^= 1;
    file.Seek(-1, SeekOrigin::End);
    file.WriteBuffer(&c, 1);
  }
  TRun run = Kivo("verify " + Q(archive));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("b.txt"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("a.txt"), std::string::npos) << run.out;
}

TEST(KivoTool, BuildPacksAndDumpReadsThePagesOfTheArchive) {
  testkit::TempFolder src, out;
  src.Write("project.txt", "title = Packed\nstart = main.ksb\n");
  src.Write("main.kss", "Calc x = 1\nCall sub/more.ksb\n");
  src.Write("sub/more.kss", "Exit\n");
  TRun build = Kivo("build " + Q(src.Path()) + " -o " + Q(out.Path()) + " --pack");
  ASSERT_EQ(build.status, 0) << build.out;
  TRun dump = Kivo("dump " + Q(out.File("game.dat")));
  EXPECT_EQ(dump.status, 0) << dump.out;
  for (const char* part : {"=== kivo.kpb ===\ntitle = Packed", "=== main.ksb ===\nCalc x = 1\nCall sub/more.ksb",
                           "=== sub/more.ksb ===\nExit"})
    EXPECT_NE(dump.out.find(part), std::string::npos) << part << " in\n" << dump.out;
  TRun broken = Kivo("build " + Q(src.Write("bad/project.txt", "start = main.ksb\n").substr(0, src.File("bad/").size())) +
                     " -o " + Q(out.File("never")));
  EXPECT_EQ(broken.status, 1) << broken.out;
  EXPECT_NE(broken.out.find("main.ksb is not built"), std::string::npos) << broken.out;
  EXPECT_FALSE(std::filesystem::exists(out.File("never")));
}

TEST(KivoTool, HelpUsageAndErrors) {
  TRun overview = Kivo("--help");
  EXPECT_EQ(overview.status, 0);
  for (const char* command : {"ls", "x", "pack", "append", "verify", "build", "dump"}) {
    EXPECT_NE(overview.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    TRun help = Kivo(std::string(command) + " --help");
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("usage: kivo ") + command, 0), 0u) << help.out;
  }
  EXPECT_EQ(Kivo("").status, 2);
  EXPECT_EQ(Kivo("frobnicate").status, 2);
  EXPECT_EQ(Kivo("ls").status, 2);
  EXPECT_EQ(Kivo("pack /nonexistent-folder -o /tmp/x.dat").status, 1);
  testkit::TempFolder temp;
  TRun garbage = Kivo("ls " + Q(temp.Write("junk.dat", std::string(64, '\xee'))));
  EXPECT_EQ(garbage.status, 1);
  EXPECT_NE(garbage.out.find("damaged archive"), std::string::npos) << garbage.out;
}

}  // namespace
}  // namespace kivo
