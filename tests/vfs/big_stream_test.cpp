// Volumes across the 1 GiB boundary, clamped positions, the buffered reader and range windows.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/kivo_error.h"
#include "testkit/temp_folder.h"
#include "vfs/big_file_stream.h"
#include "vfs/big_stream.h"
#include "vfs/file_stream.h"
#include "vfs/range_stream.h"

namespace kivo {
namespace {

constexpr int64_t kGiB = TTpBigFileStream::kVolumeSize;

// A sparse file of that size whose last bytes are the given tail.
void SparseFile(const std::string& path, int64_t size, const std::string& tail) {
  TFileStream file(path, FileAccess::Create);
  file.Handle().Truncate(size);
  file.Seek(size - static_cast<int64_t>(tail.size()), SeekOrigin::Begin);
  file.WriteBuffer(tail.data(), static_cast<int64_t>(tail.size()));
}

std::string ReadAt(TStream& stream, int64_t position, int64_t count) {
  std::string out(static_cast<size_t>(count), '\0');
  stream.Seek(position, SeekOrigin::Begin);
  out.resize(static_cast<size_t>(stream.Read(out.data(), count)));
  return out;
}

TEST(BigFileStream, ReadsAcrossTheVolumeBoundary) {
  testkit::TempFolder temp;
  SparseFile(temp.File("game.dat"), kGiB, "0123456789");
  temp.Write("game.001", "abcdefghij");
  temp.Write("game.003", "not reached: volume 2 is missing");

  TTpBigFileStream stream(temp.File("game.dat"), BigFileMode::Read);
  EXPECT_EQ(stream.VolumeCount(), 2);
  EXPECT_EQ(stream.Size(), kGiB + 10);
  EXPECT_EQ(ReadAt(stream, kGiB - 10, 20), "0123456789abcdefghij");
  EXPECT_EQ(stream.Position(), kGiB + 10);
  EXPECT_EQ(ReadAt(stream, kGiB + 5, 100), "fghij");
  // Positions stop at the end.
  EXPECT_EQ(stream.Seek(kGiB * 3, SeekOrigin::Begin), kGiB + 10);
  EXPECT_EQ(stream.Seek(-5, SeekOrigin::Begin), 0);
}

TEST(BigFileStream, OnlyVolumeZeroWhenVolumeOneIsMissing) {
  testkit::TempFolder temp;
  temp.Write("game.dat", "zero");
  temp.Write("game.002", "two");
  TTpBigFileStream stream(temp.File("game.dat"), BigFileMode::Read);
  EXPECT_EQ(stream.VolumeCount(), 1);
  EXPECT_EQ(stream.Size(), 4);
}

TEST(BigFileStream, WriteSpillsIntoANewVolumeAtTheBoundary) {
  testkit::TempFolder temp;
  SparseFile(temp.File("game.dat"), kGiB - 4, "");
  {
    TTpBigFileStream stream(temp.File("game.dat"), BigFileMode::ReadWrite);
    stream.Seek(0, SeekOrigin::End);
    EXPECT_EQ(stream.Write("ABCDEFGH", 8), 8);
    EXPECT_EQ(stream.Size(), kGiB + 4);
  }
  EXPECT_EQ(std::filesystem::file_size(temp.File("game.dat")), static_cast<uintmax_t>(kGiB));
  EXPECT_EQ(temp.Read("game.001"), "EFGH");
  TTpBigFileStream again(temp.File("game.dat"), BigFileMode::Read);
  EXPECT_EQ(ReadAt(again, kGiB - 4, 8), "ABCDEFGH");
  EXPECT_EQ(again.Write("x", 1), 0);
}

TEST(BigFileStream, CreateRemovesStaleVolumes) {
  testkit::TempFolder temp;
  temp.Write("save.dat", "old");
  temp.Write("save.001", "old continuation");
  {
    TTpBigFileStream stream(temp.File("save.dat"), BigFileMode::Create);
    stream.Write("new", 3);
  }
  EXPECT_FALSE(std::filesystem::exists(temp.File("save.001")));
  EXPECT_EQ(TTpBigFileStream(temp.File("save.dat"), BigFileMode::Read).Size(), 3);
  EXPECT_THROW(TTpBigFileStream(temp.File("missing.dat"), BigFileMode::Read), EKivoError);
}

TEST(BigFileStream, VolumeNames) {
  EXPECT_EQ(TTpBigFileStream::VolumeName("/g/game.dat", 0), "/g/game.dat");
  EXPECT_EQ(TTpBigFileStream::VolumeName("/g/game.dat", 2), "/g/game.002");
  EXPECT_EQ(TTpBigFileStream::VolumeName("/g.d/archive", 1), "/g.d/archive.001");
}

TEST(BuffBigStream, LeavesTheUnderlyingPositionAfterTheLastByteHandedOut) {
  std::vector<uint8_t> bytes(300000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  TTpBigMemoryStream underlying(bytes);
  underlying.Seek(10, SeekOrigin::Begin);
  {
    TTpBuffBigStream buffered(underlying);
    uint8_t b[5];
    EXPECT_EQ(buffered.Read(b, 5), 5);
    EXPECT_EQ(b[0], bytes[10]);
    EXPECT_EQ(buffered.Position(), 15);
    // Across a refill of the read-ahead buffer.
    std::vector<uint8_t> big(150000);
    EXPECT_EQ(buffered.Read(big.data(), 150000), 150000);
    EXPECT_EQ(big.back(), bytes[150014]);
    EXPECT_GT(underlying.Position(), 150015);
  }
  EXPECT_EQ(underlying.Position(), 150015);
}

TEST(RangeStream, ClampsSeeksAndCutsReads) {
  testkit::TempFolder temp;
  std::string contents(300, '\0');
  for (size_t i = 0; i < contents.size(); ++i) contents[i] = static_cast<char>(i);
  std::string path = temp.Write("data.bin", contents);

  TFileRangeStream window(path, 50, 100);
  struct Case {
    int64_t offset;
    SeekOrigin origin;
    int64_t expected;
  };
  for (Case c : {Case{-10, SeekOrigin::Begin, 0}, Case{0, SeekOrigin::End, 50}, Case{70, SeekOrigin::Begin, 50},
                 Case{-20, SeekOrigin::Current, 30}, Case{5, SeekOrigin::Current, 35}})
    EXPECT_EQ(window.Seek(c.offset, c.origin), c.expected) << c.offset;
  window.Seek(40, SeekOrigin::Begin);
  char buffer[80];
  EXPECT_EQ(window.Read(buffer, 80), 10);
  EXPECT_EQ(buffer[0], static_cast<char>(140));
  EXPECT_EQ(window.Read(buffer, 80), 0);
  EXPECT_EQ(window.Write("x", 1), 0);
  EXPECT_EQ(window.Size(), 50);

  TFileRangeStream whole(path, 0, 0);
  EXPECT_EQ(whole.Size(), 300);
  auto empty = TRangeStream::Exact(std::make_unique<TTpBigFileStream>(path, BigFileMode::Read), 0, 120);
  EXPECT_EQ(empty->Size(), 0);
  EXPECT_EQ(empty->Read(buffer, 10), 0);
}

}  // namespace
}  // namespace kivo
