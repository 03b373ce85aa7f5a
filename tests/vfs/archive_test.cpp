// Archive directories of every version, the writer's storage rules, the appended, companion and
// resource forms, and damaged or hostile archives.
#include <gtest/gtest.h>

#include <zlib.h>

#include "platform/kivo_error.h"
#include "support/binary_io.h"
#include "testkit/temp_folder.h"
#include "vfs/big_stream.h"
#include "vfs/file_stream.h"
#include "vfs/pe_fixture.h"
#include "vfs/vr_file_collection.h"
#include "vfs/zlib_codec.h"

namespace kivo {
namespace {

// Made by hand (outside this code base) with the documented layout and scrambling.
const std::string kVersion0(
    "\x02\x00\x00\x00\x05\x00\x00\x00\x41\x2e\x54\x58\x54\x09\x00\x00\x00\x44\x49\x52\x5c\x42\x2e\x42\x49\x4e\x26\x00"
    "\x00\x00\x33\x00\x00\x00\x41\x00\x00\x00\x78\x01\xcb\x48\xcd\xc9\xc9\x07\x00\x06\x2c\x02\x15\x78\x01\x2b\xcf\x2f"
    "\xca\x49\x51\x04\x00\x08\xf0\x02\x4a",
    65);
// Names "\x95\x5c.txt" (a trail byte that looks like "\") and "dir\b.bin".
const std::string kVersion100(
    "\x76\x66\x64\x00\x00\x00\x02\x00\x00\x00\x06\x00\x00\x00\xac\x0a\xc9\xc8\x9d\xc6\x09\x00\x00\x00\xd7\xd1\xa3\x12"
    "\xdd\xda\x9f\x43\x65\x14\xee\xd6\x75\x6c\x95\x09\xc3\xaf\xd8\x06\x45\x78\x01\xcb\x48\xcd\xc9\xc9\x07\x00\x06\x2c"
    "\x02\x15\x78\x01\x2b\xcf\x2f\xca\x49\x51\x04\x00\x08\xf0\x02\x4a",
    72);
// "plain.txt" stored plain with time stamp 0x12345678, "packed.txt" compressed.
const std::string kVersion101(
    "\x76\x66\x65\x00\x00\x00\x02\x00\x00\x00\x09\x00\x00\x00\x49\x3a\x86\xd5\x8b\x9c\xc7\xc0\xa5\x0a\x00\x00\x00\x3e"
    "\xde\x97\x96\x4f\x6f\x5e\x1d\x3e\xe3\x76\xee\xd6\x75\x00\x00\x00\x00\x0c\x95\x09\xc3\xff\xff\xff\xff\x8f\xd8\x06"
    "\x45\x00\x00\x00\x00\x01\x00\x78\x56\x34\x12\x00\x00\x00\x00\xcb\xaf\x5c\x71\x1a\x93\xf8\xe1\x70\x6c\x61\x69\x6e"
    "\x20\x62\x79\x74\x65\x73\x78\x01\x2b\xcf\x2f\xca\x49\x51\x04\x00\x08\xf0\x02\x4a",
    104);

std::string Contents(TVrFileCollection& source, const std::string& name) {
  TMemoryStream out;
  source.ReadEntry(out, name);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

std::string Written(TVrFileCollection& source) {
  TMemoryStream out;
  EXPECT_TRUE(source.WriteArchive(out));
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

void SetMemory(TVrFile& entry, const std::string& bytes) { entry.memory->WriteBuffer(bytes.data(), bytes.size()); }

// Text that deflates to about 95 % of its size: random characters from an alphabet of 200.
std::string PoorlyCompressibleText(size_t size, uint32_t seed) {
  std::string s(size, ' ');
  for (char& c : s) {
    seed = seed * 1103515245 + 12345;
    c = static_cast<char>(' ' + ((seed >> 16) % 200));
  }
  return s;
}

TEST(ArchiveRead, HandMadeArchivesOfEachVersion) {
  testkit::TempFolder temp;
  struct Case {
    const std::string* bytes;
    int version;
    std::string first, firstText, second, secondText;
  };
  // Versions 1 to 99: the unscrambled layout of version 0 behind "vf" and the version, so every
  // offset moves by those 6 bytes.
  std::string version50 = std::string("vf\x32\x00\x00\x00", 6) + kVersion0;
  for (size_t at : {6 + 26, 6 + 30, 6 + 34}) version50[at] = static_cast<char>(version50[at] + 6);
  for (const Case& c : {Case{&kVersion0, 0, "a.txt", "hello", "DIR\\b.bin", "world!"},
                        Case{&version50, 50, "a.txt", "hello", "DIR\\b.bin", "world!"},
                        Case{&kVersion100, 100, "\x95\x5c.TXT", "hello", "DIR\\B.BIN", "world!"},
                        Case{&kVersion101, 101, "PLAIN.TXT", "plain bytes", "packed.txt", "world!"}}) {
    TVrFileCollection source;
    source.Open(temp.Write("v" + std::to_string(c.version) + ".dat", *c.bytes));
    SCOPED_TRACE(c.version);
    EXPECT_EQ(source.Version(), c.version);
    ASSERT_EQ(source.EntryCount(), 2);
    EXPECT_EQ(source.Count(), 3);
    EXPECT_EQ(source.Item(2).Name(), "\\EOF\\");
    EXPECT_EQ(Contents(source, c.first), c.firstText);
    EXPECT_EQ(Contents(source, c.second), c.secondText);
    // Versions before 101 carry no flags: every entry counts as compressed. 101 has no
    // checksum-of-plain flags.
    EXPECT_EQ(source.Entry(0).IsPlain(), c.version == 101);
    EXPECT_EQ(source.Entry(0).checksumOfPlain, 0);
  }
  TVrFileCollection v101;
  v101.Open(temp.File("v101.dat"));
  EXPECT_EQ(v101.Entry(0).timeStamp, 0x12345678);
  EXPECT_EQ(v101.Entry(1).checksum, Crc32(kVersion101.data() + 90, 14));
}

TEST(ArchiveWrite, RoundTripKeepsNamesBytesAndFlags) {
  testkit::TempFolder temp;
  temp.Write("loose/script.txt", std::string(5000, 'k'));
  TVrFileCollection source;
  source.SetFolder(temp.File("loose"));
  SetMemory(source.AddMemoryEntry("save:\x95\x5c\\slot.bin"), "memory bytes");
  TVrFile& checked = source.AddMemoryEntry("mem:checked");
  SetMemory(checked, std::string(3000, 'c'));
  checked.checksumOfPlain = 1;
  source.AddMemoryEntry("empty");
  source.AddFileEntry("SCRIPT.TXT");
  source.AddMemoryEntry("\\EOF\\");  // a terminator already present is never written as an entry

  std::string bytes = Written(source);
  EXPECT_EQ(bytes.substr(0, 6), std::string("vf\x66\x00\x00\x00", 6));
  TVrFileCollection back;
  back.Open(temp.Write("out.dat", bytes));
  EXPECT_EQ(back.Version(), 102);
  ASSERT_EQ(back.EntryCount(), 4);
  EXPECT_EQ(back.Entry(0).Name(), "save:\x95\x5c\\slot.bin");
  EXPECT_EQ(Contents(back, "SAVE:\x95\x5c\\SLOT.BIN"), "memory bytes");
  EXPECT_EQ(Contents(back, "mem:checked"), std::string(3000, 'c'));
  EXPECT_EQ(Contents(back, "empty"), "");
  EXPECT_EQ(Contents(back, "script.txt"), std::string(5000, 'k'));
  EXPECT_FALSE(back.Entry(3).IsPlain());
  EXPECT_NE(back.Entry(3).timeStamp, 0);
  EXPECT_EQ(back.Entry(0).timeStamp, 0);

  std::string c(3000, 'c');
  EXPECT_EQ(back.Entry(1).checksumOfPlain, 1);
  EXPECT_EQ(back.Entry(1).checksum, Crc32(c.data(), 3000));
  TMemoryStream stored;
  back.ReadStoredBytes(back.Entry(0), stored);
  EXPECT_EQ(back.Entry(0).checksum, Crc32(stored.Memory(), stored.Size()));

  // Rewriting an archive copies its entries (decompressed and stored again) unchanged.
  TVrFileCollection again;
  again.Open(temp.Write("again.dat", Written(back)));
  ASSERT_EQ(again.EntryCount(), 4);
  EXPECT_EQ(Contents(again, "mem:checked"), c);
  EXPECT_EQ(again.Entry(1).checksum, Crc32(c.data(), 3000));
}

TEST(ArchiveWrite, AnEmptySourceHasOneOffsetAndTheTerminator) {
  TVrFileCollection source;
  std::string bytes = Written(source);
  EXPECT_EQ(bytes.size(), 2u + 4 + 4 + 8);
  TVrFileCollection back;
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  back.ReadDirectory(stream);
  EXPECT_EQ(back.EntryCount(), 0);
  ASSERT_EQ(back.Count(), 1);
  EXPECT_EQ(back.Entry(0).Name(), "\\EOF\\");
  EXPECT_EQ(back.Entry(0).offset, 18);
}

TEST(ArchiveWrite, StorageRules) {
  testkit::TempFolder temp;
  std::string poor = PoorlyCompressibleText(1 << 20, 7);
  std::vector<uint8_t> packed = Deflate(poor.data(), static_cast<int64_t>(poor.size()));
  ASSERT_GT(static_cast<int64_t>(packed.size()), static_cast<int64_t>(poor.size()) * 9 / 10);
  ASSERT_LT(packed.size(), poor.size());
  temp.Write("src/poor.txt", poor);
  temp.Write("src/rich.txt", std::string(1 << 20, 'r'));
  temp.Write("src/voice.ogg", std::string(1000, 'o'));
  temp.Write("src/big.txt", std::string(kPlainStorageSize, 'b'));
  std::string bry(40, '\0');
  bry.replace(0, 7, "Bryl103");
  temp.Write("src/raw.bry", bry.substr(0, 33) + "\x01" + bry.substr(34));
  temp.Write("src/packed.bry", bry);

  TVrFileCollection source;
  source.SetFolder(temp.File("src"));
  for (const char* name : {"poor.txt", "rich.txt", "voice.ogg", "big.txt", "raw.bry", "packed.bry"})
    source.AddFileEntry(name);
  SetMemory(source.AddMemoryEntry("mem:six"), std::string(6000000, 's'));
  SetMemory(source.AddMemoryEntry("mem:small"), std::string(6000, 's'));

  TVrFileCollection back;
  back.Open(temp.Write("out.dat", Written(source)));
  struct Expect {
    const char* name;
    bool plain;
  };
  for (Expect e : {Expect{"poor.txt", true}, Expect{"rich.txt", false}, Expect{"voice.ogg", true},
                   Expect{"big.txt", true}, Expect{"raw.bry", false}, Expect{"packed.bry", true},
                   Expect{"mem:six", true}, Expect{"mem:small", false}}) {
    ASSERT_NE(back.EntryOf(e.name), nullptr) << e.name;
    EXPECT_EQ(back.EntryOf(e.name)->IsPlain(), e.plain) << e.name;
  }
  EXPECT_EQ(Contents(back, "poor.txt"), poor);
  EXPECT_EQ(back.EntryOf("mem:six")->size, 6000000);
}

TEST(ArchiveWrite, ProgressCanCancelAndStoreErrorsAreReported) {
  TVrFileCollection source;
  SetMemory(source.AddMemoryEntry("a"), "1");
  SetMemory(source.AddMemoryEntry("b"), "2");
  std::vector<int64_t> calls;
  source.SetProgress([&](const TWriteProgress& p) {
    calls.push_back(p.bytesWritten);
    return p.index == 0;
  });
  TMemoryStream out;
  EXPECT_FALSE(source.WriteArchive(out));
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], -1);
  EXPECT_GT(calls[1], 0);

  TVrFileCollection broken;
  broken.AddFileEntry("nowhere.txt");
  std::string reported;
  broken.SetStoreError([&](const std::string& name, const std::string&) { reported = name; });
  EXPECT_THROW(broken.WriteArchive(out), EKivoError);
  EXPECT_EQ(reported, "nowhere.txt");
}

TEST(ArchiveForms, AppendedCompanionAndResource) {
  testkit::TempFolder temp;
  TVrFileCollection content;
  SetMemory(content.AddMemoryEntry("kivo.kpb"), "project");
  std::string archive = Written(content);
  std::string program = std::string("\x7f" "ELF program bytes", 18);
  std::string offset(4, '\0');
  for (int i = 0; i < 4; ++i) offset[static_cast<size_t>(i)] = static_cast<char>(program.size() >> (8 * i));
  std::string appended = program + archive + offset + "kv";

  for (const char* name : {"game.exe", "kivoplay"}) {
    TVrFileCollection source;
    source.Open(temp.Write(name, appended));
    EXPECT_EQ(Contents(source, "kivo.kpb"), "project") << name;
  }

  // The index in "game.ext", the data in "game.bin" (offsets from its start).
  TVrFileCollection payload;
  SetMemory(payload.AddMemoryEntry("x.txt"), std::string(100, 'x'));
  std::string full = Written(payload);
  TVrFileCollection parsed;
  TMemoryStream fullStream(std::vector<uint8_t>(full.begin(), full.end()));
  parsed.ReadDirectory(fullStream);
  temp.Write("game.bin", full);
  temp.Write("GAME.EXT", full.substr(0, static_cast<size_t>(parsed.Entry(0).offset)));
  TVrFileCollection companion;
  companion.Open(temp.File("game.bin"));
  EXPECT_EQ(Contents(companion, "x.txt"), std::string(100, 'x'));

  std::string pe = testkit::MinimalPeWithResource("BINTYPE", "DUMMY", archive + "vf");
  TVrFileCollection resource;
  resource.OpenResource(temp.Write("Game Program.exe", pe), "DUMMY", "bintype");
  EXPECT_EQ(Contents(resource, "kivo.kpb"), "project");
  auto window = resource.OpenWindow("kivo.kpb");
  ASSERT_NE(window, nullptr);
  std::string stored(static_cast<size_t>(window->Size()), '\0');
  window->ReadBuffer(stored.data(), window->Size());
  EXPECT_EQ(Inflate(stored.data(), window->Size()), std::vector<uint8_t>({'p', 'r', 'o', 'j', 'e', 'c', 't'}));

  TVrFileCollection missing;
  try {
    missing.OpenResource(temp.File("Game Program.exe"), "OTHER", "BINTYPE");
    ADD_FAILURE() << "no error";
  } catch (const EKivoError& e) {
    EXPECT_STREQ(e.what(), "\x83\x8a\x83\x5c\x81\x5b\x83\x58\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
  }
}

TEST(ArchiveRead, DamagedAndHostileArchivesRaiseErrors) {
  testkit::TempFolder temp;
  TVrFileCollection content;
  SetMemory(content.AddMemoryEntry("first.txt"), std::string(2000, 'a'));
  SetMemory(content.AddMemoryEntry("second.txt"), "b");
  std::string good = Written(content);

  // Every truncation fails cleanly (the directory, or an entry reaching past the end).
  for (size_t length = 0; length < good.size(); ++length) {
    TVrFileCollection source;
    EXPECT_THROW(source.Open(temp.Write("cut.dat", good.substr(0, length))), EKivoError) << length;
    EXPECT_EQ(source.Count(), 0);
  }

  auto withInt32 = [&](size_t at, int32_t value) {
    std::string s = good;
    for (int i = 0; i < 4; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
    return s;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  for (const Case& c : {Case{"huge count", withInt32(6, 0x7FFFFFFF)}, Case{"negative count", withInt32(6, -5)},
                        Case{"huge name length", withInt32(10, 0x7FFFFFF0)}, Case{"future version", withInt32(2, 103)},
                        Case{"offset scrambled to garbage", withInt32(10 + 4 + 9 + 4 + 10, 0x12345678)}}) {
    TVrFileCollection source;
    EXPECT_THROW(source.Open(temp.Write("bad.dat", c.bytes)), EKivoError) << c.what;
  }

  // Any single damaged byte gives an error or a readable archive, never a crash.
  for (size_t at = 0; at < good.size(); ++at) {
    std::string damaged = good;
    damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
    TVrFileCollection source;
    try {
      source.Open(temp.Write("flip.dat", damaged));
      for (int i = 0; i < source.EntryCount(); ++i) {
        TMemoryStream out;
        source.ReadEntryData(source.Entry(i), out);
      }
    } catch (const EKivoError&) {
    }
  }

  // A corrupt zlib stream is an error, never a short result.
  std::string corrupt = good;
  TVrFileCollection parsed;
  parsed.Open(temp.Write("good.dat", good));
  size_t data = static_cast<size_t>(parsed.Entry(0).offset);
  corrupt[data + 4] ^= 0x55;
  corrupt[data + 5] ^= 0x55;
  TVrFileCollection source;
  source.Open(temp.Write("corrupt.dat", corrupt));
  TMemoryStream out;
  EXPECT_THROW(source.ReadEntry(out, "first.txt"), EKivoError);
  TFileStream file(temp.File("extract.bin"), FileAccess::Create);
  EXPECT_THROW(source.ReadEntryData(source.Entry(0), file), EKivoError);

  // A stream that inflates past the in-memory limit is refused instead of growing without end.
  std::vector<uint8_t> zeros(1 << 20);
  std::vector<uint8_t> bomb = Deflate(zeros.data(), static_cast<int64_t>(zeros.size()));
  std::vector<uint8_t> inflated;
  EXPECT_THROW(InflateInto(bomb.data(), static_cast<int64_t>(bomb.size()), inflated, 64 << 10), EKivoError);
  InflateInto(bomb.data(), static_cast<int64_t>(bomb.size()), inflated, 1 << 20);
  EXPECT_EQ(inflated, zeros) << "exactly the limit is still read";
}

TEST(ArchiveRead, MissingEntryFallsBackToTheSourceFolder) {
  testkit::TempFolder temp;
  temp.Write("data/extra.txt", "beside");
  TVrFileCollection source;
  source.Open(temp.File("data"));
  EXPECT_FALSE(source.HasStream());
  EXPECT_EQ(Contents(source, "EXTRA.TXT"), "beside");
  try {
    Contents(source, "none.txt");
    ADD_FAILURE() << "no error";
  } catch (const EKivoError& e) {
    EXPECT_EQ(std::string(e.what()),
              "none.txt:\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
  }
}

}  // namespace
}  // namespace kivo
