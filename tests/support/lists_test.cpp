// The integer, float, object and string lists, with the stream forms and DiscOf.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/kivo_error.h"
#include "support/array_string.h"
#include "support/binary_io.h"
#include "support/folder_disk_list.h"
#include "support/number_lists.h"
#include "support/obj_list.h"
#include "support/tab_strings.h"

namespace kivo {
namespace {

TEST(TIntList, SetGrowsWithZerosAndRefusesBadIndexes) {
  TIntList list;
  list.Set(5, 7);
  EXPECT_EQ(list.Items(), (std::vector<int32_t>{0, 0, 0, 0, 0, 7}));
  list.Set(2, 3);
  EXPECT_EQ(list.Get(2), 3);
  EXPECT_EQ(list.IndexOf(7), 5);
  EXPECT_EQ(list.IndexOf(99), -1);
  EXPECT_EQ(list.Add(9), 6);
  for (int32_t bad : {-1, std::numeric_limits<int32_t>::min(), TIntList::kMaxCount, std::numeric_limits<int32_t>::max()}) {
    try {
      list.Set(bad, 1);
      ADD_FAILURE() << bad;
    } catch (const EKivoError& e) {
      EXPECT_STREQ(e.what(), "Error:TIntList.SetInt");
    }
  }
  EXPECT_EQ(list.Count(), 7);
  for (int32_t bad : {-1, 7}) {
    try {
      list.Get(bad);
      ADD_FAILURE() << bad;
    } catch (const EKivoError& e) {
      EXPECT_STREQ(e.what(), "Error:TIntList.GetInt");
    }
  }
}

TEST(TExtendedList, SortsBothWaysKeepingFullPrecision) {
  TExtendedList list;
  const Extended tiny = 1.0L + std::numeric_limits<Extended>::epsilon();  // not a double
  for (Extended x : {Extended{3}, tiny, Extended{-2}, Extended{1}, std::numeric_limits<Extended>::quiet_NaN()}) list.Add(x);
  list.Sort(false);
  EXPECT_EQ(list.Get(0), -2);
  EXPECT_EQ(list.Get(1), 1);
  EXPECT_EQ(list.Get(2), tiny);
  EXPECT_EQ(list.Get(3), 3);
  EXPECT_TRUE(std::isnan(list.Get(4)));
  list.Sort(true);
  EXPECT_EQ(list.Get(0), 3);
  EXPECT_EQ(list.Get(1), tiny);
  EXPECT_EQ(list.Get(3), -2);
  EXPECT_THROW(list.Get(5), EKivoError);
  TIntArray array;
  array.Add(4);
  EXPECT_EQ(array.Get(0), 4);
  EXPECT_THROW(array.Get(1), EKivoError);
}

TEST(TObjList, DeleteAndClearFreeTheObjects) {
  int live = 0;
  struct TCounted {
    explicit TCounted(int& n) : live(n) { ++live; }
    ~TCounted() { --live; }
    int& live;
  };
  TObjList<TCounted> list;
  for (int i = 0; i < 3; ++i) list.Emplace(live);
  TCounted* second = &list[1];
  list.Delete(0);
  EXPECT_EQ(live, 2);
  EXPECT_EQ(list.IndexOf(second), 0);
  std::unique_ptr<TCounted> taken = list.Extract(0);
  EXPECT_EQ(live, 2);
  list.Clear();
  EXPECT_EQ(live, 1);
  EXPECT_THROW(list.Delete(0), EKivoError);
}

TEST(TTabStrings, SplitsOnlyAtSingleByteSeparators) {
  struct Case { const char* text; char separator; std::vector<std::string> expected; };
  const Case cases[] = {
      {"a\tb\tc", '\t', {"a", "b", "c"}},
      {"a\t\tb", '\t', {"a", "", "b"}},
      {"a\tb\t", '\t', {"a", "b"}},
      {"\ta", '\t', {"", "a"}},
      {"", '\t', {}},
      {"\t", '\t', {""}},
      // the trail bytes of 0x837C and 0x955C look like the separators
      {"\x83\x7c|x|", '|', {"\x83\x7c", "x"}},
      {"a\\\x95\x5c\\b", '\\', {"a", "\x95\x5c", "b"}},
  };
  TTabStrings t;
  for (const Case& c : cases) {
    t.Separator = c.separator;
    t.SetText(c.text);
    EXPECT_EQ(t.Items(), c.expected) << c.text;
  }
  t.Separator = '\t';
  t.SetText("x\ty");
  EXPECT_EQ(t.Get(1), "y");
  EXPECT_EQ(t.Get(2), "");
  EXPECT_EQ(t.Get(-1), "");
}

TEST(TArrayString, StreamRoundTripAndHostileCount) {
  TArrayString a;
  a.Add("one");
  a.Add("");
  a.Add("\x83\x41");
  TMemoryStream stream;
  a.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), 4 + (4 + 3) + 4 + (4 + 2));
  TArrayString b;
  b.Add("stale");
  stream.SetPosition(0);
  b.LoadFromStream(stream);
  EXPECT_EQ(b.Items(), a.Items());
  TArrayString c;
  c.Assign(b);
  EXPECT_EQ(c.Items(), a.Items());

  TMemoryStream hostile;
  TBinaryWriter(hostile).Int32(0x7FFFFFFF);
  hostile.SetPosition(0);
  EXPECT_THROW(b.LoadFromStream(hostile), EKivoError);
}

TEST(TFolderDiskList, DiscOf) {
  TFolderDiskList list;
  list.Add("Movie\\", 1);
  list.Add("movie\\Ending", 2);
  list.Add("Voice\\\x95\x5c", 3);  // a folder name ending in the trail byte 0x5C
  struct Case { const char* path; int32_t disc; };
  for (Case c : {Case{"movie\\op.mpg", 1}, {"MOVIE", 1}, {"movie\\ending\\ed.mpg", 2}, {"Movie\\Ending\\", 2},
                 {"voice\\\x95\x5c\\a.wav", 3}, {"voice\\\x95\x5c", 3}, {"voice\\b.wav", 0}, {"bgm\\a.mid", 0},
                 {"", 0}, {"\\", 0}}) {
    EXPECT_EQ(list.DiscOf(c.path), c.disc) << c.path;
  }
}

TEST(TFolderDiskList, StreamRoundTripAndHostileCount) {
  TFolderDiskList list;
  list.Add("a\\", 1);
  list.Add("\x83\x41\\", -2);
  TMemoryStream stream;
  list.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), 4 + (4 + 2 + 4) + (4 + 3 + 4));
  TFolderDiskList loaded;
  loaded.Add("stale", 9);
  stream.SetPosition(0);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(loaded.Entries(), list.Entries());

  // A count of two with only one entry's bytes behind it.
  std::vector<uint8_t> bytes = stream.Bytes();
  bytes.resize(4 + 10);
  TMemoryStream truncated(bytes);
  EXPECT_THROW(loaded.LoadFromStream(truncated), EKivoError);
}

}  // namespace
}  // namespace kivo
