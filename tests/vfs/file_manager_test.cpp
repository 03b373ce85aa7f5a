// The manager's lookup order, disk-name resolution, extraction with its lock list, listing and discs.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/kivo_error.h"
#include "support/install_set.h"
#include "testkit/temp_folder.h"
#include "vfs/file_stream.h"
#include "vfs/vr_file_manager.h"

namespace kivo {
namespace {

std::string Text(const TMemoryStream& s) { return std::string(s.Bytes().begin(), s.Bytes().end()); }

std::string WriteArchiveFile(const testkit::TempFolder& temp, const std::string& file,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
  std::filesystem::create_directories(std::filesystem::path(temp.File(file)).parent_path());
  TVrFileCollection source;
  for (const auto& [name, bytes] : entries) source.AddMemoryEntry(name).memory->WriteBuffer(bytes.data(), bytes.size());
  TAtomicFile out(temp.File(file));
  EXPECT_TRUE(source.WriteArchive(out.Stream()));
  out.Commit();
  return temp.File(file);
}

class FileManager : public testing::Test {
protected:
  void SetUp() override {
    manager.SetCdRomRoots({});
    manager.SetTemporaryFolder(temp.File("tmp"));
    std::filesystem::create_directories(temp.File("tmp"));
    manager.SetBaseFolder(temp.File("base"));
    std::filesystem::create_directories(temp.File("base"));
    ASSERT_EQ(manager.RegisterArchive(""), 0);
  }
  std::string Read(const std::string& name) {
    TMemoryStream out;
    manager.ReadFile(out, name);
    return Text(out);
  }
  std::vector<std::string> TemporaryFiles() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(temp.File("tmp"))) names.push_back(e.path().filename());
    return names;
  }

  testkit::TempFolder temp;
  TVrFileManager manager;
};

TEST_F(FileManager, LooseFilesOverrideArchivesWhenReading) {
  std::string archive = WriteArchiveFile(temp, "game.dat", {{"bg\\title.png", "from archive"}, {"only.txt", "a"}});
  EXPECT_EQ(manager.RegisterArchive(archive), 1);
  EXPECT_EQ(manager.RegisterArchive(temp.File("GAME.DAT")), -1);
  temp.Write("base/BG/Title.PNG", "loose");

  EXPECT_EQ(Read("bg\\title.png"), "loose");
  EXPECT_EQ(manager.RealPath("bg\\title.png"), temp.File("base/BG/Title.PNG"));
  auto window = manager.OpenWindow("BG\\TITLE.PNG");
  EXPECT_EQ(window->Size(), 5);
  EXPECT_EQ(Read("ONLY.TXT"), "a");
  // Exists answers from the sources before looking at the disk.
  EXPECT_NE(manager.EntryOf("bg\\title.png"), nullptr);
  EXPECT_TRUE(manager.Exists("bg\\title.png"));
  EXPECT_FALSE(manager.Exists(""));
  EXPECT_FALSE(manager.Exists("none.txt"));
  EXPECT_EQ(manager.RealPath("none.txt"), "none.txt");
  EXPECT_THROW(Read("none.txt"), EKivoError);
  EXPECT_THROW(manager.OpenWindow("none.txt"), EKivoError);
}

TEST_F(FileManager, DiskNamesResolveIgnoringCaseInCp932AndUtf8) {
  // On disk in UTF-8: "画像/Sub/ファイル.TXT"; asked for in CP932 with other cases.
  temp.Write("base/\xe7\x94\xbb\xe5\x83\x8f/Sub/\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab.TXT", "utf8");
  // A name on disk in raw CP932 bytes, whose second byte is 0x5C.
  temp.Write("base/\x95\x5c.dat", "cp932");
  const std::string wanted = "\x89\xe6\x91\x9c\\sUB\\\x83\x74\x83\x40\x83\x43\x83\x8b.txt";
  EXPECT_EQ(Read(wanted), "utf8");
  EXPECT_TRUE(manager.Exists(wanted));
  EXPECT_EQ(Read("\x95\x5c.DAT"), "cp932");
  // Files made after the first look-up are found: the cached listing follows the folder.
  EXPECT_FALSE(manager.Exists("late.txt"));
  temp.Write("base/LATE.txt", "late");
  EXPECT_EQ(Read("late.txt"), "late");
}

TEST_F(FileManager, InMemorySourceEntries) {
  TVrFile& save = manager.Source(0).AddMemoryEntry("save:data");
  save.memory->WriteBuffer("saved", 5);
  manager.Source(0).AddMemoryEntry("mem:scratch");
  EXPECT_EQ(Read("SAVE:DATA"), "saved");
  EXPECT_TRUE(manager.Exists("mem:scratch"));
  std::string path = manager.RealPath("save:data");
  EXPECT_EQ(temp.Read("tmp/" + std::filesystem::path(path).filename().string()), "saved");
  manager.Source(0).DeleteEntry("save:data");
  EXPECT_FALSE(manager.Exists("save:data"));
}

TEST_F(FileManager, TwoRequestsShareOneTemporaryFileUntilReleased) {
  std::string archive = WriteArchiveFile(temp, "game.dat", {{"movie\\op.mpg", std::string(4096, 'm')}});
  manager.RegisterArchive(archive);
  std::string first = manager.RealPath("movie\\op.mpg");
  std::string second = manager.RealPath("MOVIE\\OP.MPG");
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, temp.File("tmp/~kv00000000.mpg"));
  ASSERT_NE(manager.Locks().Find("movie\\op.mpg"), nullptr);
  EXPECT_EQ(manager.Locks().Find("movie\\op.mpg")->useCount, 2);
  EXPECT_EQ(temp.Read("tmp/~kv00000000.mpg"), std::string(4096, 'm'));

  EXPECT_TRUE(manager.ReleaseRealPath("movie\\op.mpg", 100));
  EXPECT_TRUE(manager.ReleaseRealPath("movie\\op.mpg", 100));
  EXPECT_EQ(manager.Locks().ScheduledCount(), 1);
  manager.LockCountDown(60);
  EXPECT_TRUE(std::filesystem::exists(first));
  manager.LockCountDown(60);
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_EQ(manager.Locks().ScheduledCount(), 0);
  // A new extraction takes the next id.
  EXPECT_EQ(manager.RealPath("movie\\op.mpg"), temp.File("tmp/~kv00000001.mpg"));
}

TEST_F(FileManager, ExtractionStaysInTheTemporaryFolderAndFailsWhole) {
  std::string archive = WriteArchiveFile(
      temp, "game.dat", {{"a.\\..\\..\\escape", "x"}, {"/etc/abs.\\..\\x", "y"}, {"bad.txt", std::string(5000, 'q')}});
  // Damage the compressed bytes of "bad.txt" (the last entry).
  {
    TFileStream file(archive, FileAccess::ReadWrite);
    file.Seek(-10, SeekOrigin::End);
    file.WriteBuffer("\xff\xff\xff\xff", 4);
  }
  manager.RegisterArchive(archive);
  for (const char* name : {"a.\\..\\..\\escape", "/etc/abs.\\..\\x"}) {
    std::string path = manager.RealPath(name);
    EXPECT_EQ(std::filesystem::path(path).parent_path(), std::filesystem::path(temp.File("tmp"))) << path;
  }
  EXPECT_THROW(manager.RealPath("bad.txt"), EKivoError);
  EXPECT_EQ(manager.Locks().Find("bad.txt"), nullptr);
  manager.LockCountDown(15);
  EXPECT_EQ(TemporaryFiles().size(), 2u);

  manager.SetTemporaryFolder(temp.File("no/such/folder"));
  try {
    manager.RealPath("bad.txt");
    ADD_FAILURE() << "no error";
  } catch (const EKivoError& e) {
    EXPECT_STREQ(e.what(),
                 "\x8d\xec\x8b\xc6\x97\x70\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8d\xec\x82\xea\x82\xdc\x82\xb9\x82\xf1");
  }
}

TEST_F(FileManager, DestroyingTheManagerDeletesItsExtractions) {
  std::string archive = WriteArchiveFile(temp, "game.dat", {{"voice.wav", "RIFF"}});
  std::string path;
  {
    TVrFileManager other;
    other.SetTemporaryFolder(temp.File("tmp"));
    other.RegisterArchive(archive);
    path = other.RealPath("voice.wav");
    EXPECT_TRUE(std::filesystem::exists(path));
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(FileManager, ListFolderTakesSourcesThenTheBaseFolder) {
  manager.RegisterArchive(WriteArchiveFile(temp, "game.dat", {{"bgm\\a.ogg", "1"}, {"bgm\\sub\\c.ogg", "2"}, {"x.txt", "3"}}));
  manager.RegisterArchive(WriteArchiveFile(temp, "more.dat", {{"BGM\\A.OGG", "again"}}));
  temp.Write("base/bgm/b.ogg", "4");
  temp.Write("base/bgm/deeper/d.ogg", "5");
  std::vector<std::string> list;
  manager.ListFolder("bgm\\", list);
  EXPECT_EQ(list, (std::vector<std::string>{"bgm\\a.ogg", "bgm\\b.ogg"}));
  EXPECT_EQ(TVrFileManager::FolderOf("bgm\\sub\\c.ogg"), "bgm\\sub\\");
  EXPECT_EQ(TVrFileManager::FolderOf("\x95\x5c.txt"), "");
  EXPECT_EQ(TVrFileManager::FolderOf("plain"), "");
}

TEST_F(FileManager, CdRomRootsComeLast) {
  temp.Write("cd/movie/op.avi", "disc");
  manager.SetCdRomRoots({temp.File("cd")});
  EXPECT_TRUE(manager.Exists("MOVIE\\OP.AVI"));
  EXPECT_EQ(Read("movie\\op.avi"), "disc");
  EXPECT_EQ(manager.RealPath("movie\\op.avi"), temp.File("cd/movie/op.avi"));
}

TEST_F(FileManager, AskForDiscRegistersTheMatchingDisc) {
  // Message boxes are headless in tests and answer OK.
  TDiscRequest request;
  request.prompt = "disc %d";
  request.quitNotice = "quit?";
  request.caption = "game";
  request.title = "TITLE";
  bool exitRequested = false;
  request.requestExit = [&] { exitRequested = true; };
  auto install = [&](const std::string& file, int32_t disc) {
    TKivoInstallSet set;
    set.DiscIndex = disc;
    set.Title = "TITLE";
    set.SaveToFile(temp.File(file));
  };
  WriteArchiveFile(temp, "cd1/game.dat", {{"disc1.txt", "1"}});
  install("cd1/install.dat", 0);
  WriteArchiveFile(temp, "cd2/GAME.DAT", {{"disc2.txt", "2"}});
  install("cd2/Install.dat", 1);
  manager.SetCdRomRoots({temp.File("cd1"), temp.File("cd2")});
  ASSERT_GE(manager.RegisterArchive(temp.File("cd1/game.dat")), 0);

  EXPECT_TRUE(manager.AskForDisc(2, request));
  EXPECT_FALSE(manager.Exists("disc1.txt"));  // the other disc's archive was removed
  EXPECT_TRUE(manager.Exists("disc2.txt"));
  EXPECT_FALSE(exitRequested);

  request.title = "OTHER GAME";
  EXPECT_FALSE(manager.AskForDisc(1, request));
  EXPECT_TRUE(exitRequested);
}

}  // namespace
}  // namespace kivo
