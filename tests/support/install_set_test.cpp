// TKivoInstallSet: reading old and current "install.dat" layouts, writing version 108 with every
// field carried through, and refusing damaged files.
#include "support/install_set.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "support/binary_io.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

// An old file as the authoring tool wrote it: header "is<version>" (none for version 0), the
// fields present in that version, the table values in 4 bytes up to version 99.
std::vector<uint8_t> OldFile(int version) {
  TMemoryStream s;
  TBinaryWriter w(s);
  if (version > 0) {
    std::string digits = std::to_string(version);
    w.FixedText("is" + std::string(3 - digits.size(), '0') + digits);
  }
  w.Int32(2);                // DiscIndex
  w.String("\x83\x51\x81\x5b\x83\x80");  // Title
  w.String("s4");
  w.String("s5");
  w.String("s6");
  w.Byte(0xA1);
  w.String("s8");
  w.Byte(0xB2);
  w.Int32(2);  // entries
  w.String("s11");
  w.Int32(-5);
  w.Byte(0xD4);
  w.Byte(0xE5);
  w.String("s13");
  w.String("s14");
  for (int i = 0; i < 12; ++i) {  // two entries and the four values
    if (version > 99) {
      w.Int64(0x100000000LL * (i + 1) + i);
    } else {
      w.UInt32(0xFFFFFFF0u + static_cast<uint32_t>(i));
    }
  }
  w.Byte(0xF6);
  if (version > 100) w.Byte(0x67);
  if (version > 101) {
    w.Int32(3);
    w.String("a.dat");
    w.String("");  // skipped on reading
    w.String("B.DAT");
  }
  if (version > 102) w.Byte(1);
  return s.TakeBytes();
}

TKivoInstallSet Load(const std::vector<uint8_t>& bytes) {
  TMemoryStream s(bytes);
  TKivoInstallSet set;
  set.LoadFromStream(s);
  EXPECT_EQ(s.Position(), s.Size());
  return set;
}

std::vector<uint8_t> Save(const TKivoInstallSet& set) {
  TMemoryStream s;
  set.SaveToStream(s);
  return s.TakeBytes();
}

TEST(TKivoInstallSet, ReadsOldVersionsAndWidensTheirValues) {
  for (int version : {0, 99}) {
    TKivoInstallSet set = Load(OldFile(version));
    EXPECT_EQ(set.LoadedVersion(), version);
    EXPECT_EQ(set.DiscIndex, 2);
    EXPECT_EQ(set.Title, "\x83\x51\x81\x5b\x83\x80");
    EXPECT_EQ(set.String11, "s11");
    EXPECT_EQ(set.IntC, -5);
    ASSERT_EQ(set.Entries.size(), 2u);
    EXPECT_EQ(set.Entries[0][0], 0xFFFFFFF0LL);  // upper half zero, not sign-extended
    EXPECT_EQ(set.Values16[3], 0xFFFFFFFBLL);
    EXPECT_EQ(set.ByteF, 0xF6);
    EXPECT_TRUE(set.Files.empty());
    EXPECT_EQ(set.AllInstalled, 0);
  }
  TKivoInstallSet v103 = Load(OldFile(103));
  EXPECT_EQ(v103.Entries[1][3], 0x100000000LL * 8 + 7);
  EXPECT_EQ(v103.ByteG, 0x67);
  EXPECT_EQ(v103.Files, (std::vector<std::string>{"a.dat", "B.DAT"}));
  EXPECT_EQ(v103.AllInstalled, 1);
}

TEST(TKivoInstallSet, WritesVersion108WithEveryFieldCarriedThrough) {
  TKivoInstallSet set = Load(OldFile(99));
  set.ByteH = 0x71;
  set.ByteI = 0x72;
  set.Strings23 = {"x", "", "y"};
  set.String24 = "s24";
  set.Strings25 = {"s25", "s26"};
  set.AllInstalled = 2;
  set.AddFile("c.dat");
  std::vector<uint8_t> bytes = Save(set);
  ASSERT_GE(bytes.size(), 5u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "is108");

  TKivoInstallSet again = Load(bytes);
  EXPECT_EQ(again.LoadedVersion(), 108);
  EXPECT_EQ(again.Entries, set.Entries);
  EXPECT_EQ(again.Values16, set.Values16);
  EXPECT_EQ(again.Strings23, set.Strings23);  // only Files drops empty names
  EXPECT_EQ(again.Strings25, set.Strings25);
  EXPECT_EQ(again.AllInstalled, 2);
  EXPECT_EQ(again.Files, (std::vector<std::string>{"c.dat"}));
  // A second round trip is byte for byte the same.
  EXPECT_EQ(Save(again), bytes);
}

TEST(TKivoInstallSet, FilesAreMatchedIgnoringCase) {
  TKivoInstallSet set = Load(OldFile(108 - 5));
  EXPECT_EQ(set.IndexOfFile("b.dat"), 1);
  EXPECT_EQ(set.IndexOfFile("\x83\x41.dat"), -1);
  set.AddFile("A.DAT");
  set.AddFile("\x83\x41.dat");
  set.AddFile("\x83\x61.dat");  // another character, not another case
  EXPECT_EQ(set.Files, (std::vector<std::string>{"a.dat", "B.DAT", "\x83\x41.dat", "\x83\x61.dat"}));
}

TEST(TKivoInstallSet, DamagedDataRaisesAndKeepsTheOldContent) {
  TKivoInstallSet set = Load(OldFile(103));
  auto expectRefused = [&](std::vector<uint8_t> bytes) {
    TMemoryStream s(std::move(bytes));
    EXPECT_THROW(set.LoadFromStream(s), EKivoError);
    EXPECT_EQ(set.Title, "\x83\x51\x81\x5b\x83\x80");
  };
  std::vector<uint8_t> truncated = OldFile(103);
  truncated.pop_back();
  expectRefused(truncated);
  std::vector<uint8_t> badVersion = OldFile(103);
  badVersion[3] = 'x';
  expectRefused(badVersion);
  // A hostile entry count: far more entries than bytes.
  std::vector<uint8_t> hostile = OldFile(103);
  size_t countAt = 5 + 4 + (4 + 6) + 3 * (4 + 2) + 1 + (4 + 2) + 1;
  hostile[countAt + 3] = 0x40;
  expectRefused(hostile);
  expectRefused({});
}

TEST(TKivoInstallSet, FileRoundTrip) {
  testkit::TempFolder folder;
  TKivoInstallSet set = Load(OldFile(103));
  set.SaveToFile(folder.File("install.dat"));
  TKivoInstallSet loaded;
  loaded.LoadFromFile(folder.File("install.dat"));
  EXPECT_EQ(Save(loaded), Save(set));
  EXPECT_THROW(loaded.LoadFromFile(folder.File("missing.dat")), EKivoError);
}

}  // namespace
}  // namespace kivo
