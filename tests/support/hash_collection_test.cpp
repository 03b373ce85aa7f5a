// THashCollection: HashOf, case-insensitive look-up, and CachedIndex across renames and deletes.
#include "support/hash_collection.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "support/sjis.h"

namespace kivo {
namespace {

TEST(THashCollection, HashOf) {
  struct Case { const char* name; int hash; };
  for (Case c : {Case{"", 0}, {"a", 16}, {"\x83", 16}, {"ab", (32 + 0x61 + 0x61) % 256}, {"AB", (32 + 0x61 + 0x61) % 256},
                 {"aXb", (48 + 0x61 + 0x78) % 256}, {"AxB", (48 + 0x61 + 0x78) % 256},
                 // the trail byte 0x41 of 0x8341 is not folded; a real "A" before the last byte is
                 {"\x83\x41" "b", (48 + 0x83 + 0x41) % 256}, {"bA\x83", (48 + 0x62 + 0x61) % 256},
                 {"abcdefghijklmnopq", (17 * 16 + 0x61 + 0x70) % 256}}) {
    EXPECT_EQ(THashCollection::HashOf(c.name), c.hash) << c.name;
  }
}

// Checks that every item's CachedIndex is its position and that its name finds it.
void ExpectConsistent(const THashCollection& c) {
  for (int i = 0; i < c.Count(); ++i) {
    EXPECT_EQ(c.Item(i).CachedIndex(), i);
    EXPECT_EQ(c.Item(i).Hash(), THashCollection::HashOf(c.Item(i).Name()));
  }
}

TEST(THashCollection, LookUpIgnoresCaseAndFindsNewestFirst) {
  THashCollection c;
  c.AddNamed("Title");
  c.AddNamed("\x83\x41" "bc");
  c.AddNamed("TITLE");
  EXPECT_EQ(c.IndexOf("title"), 2);
  EXPECT_EQ(c.IndexOf("Title"), 2);
  EXPECT_EQ(c.IndexOf("\x83\x41" "BC"), 1);
  EXPECT_EQ(c.IndexOf("\x83\x61" "bc"), -1);
  EXPECT_EQ(c.IndexOf("Titl"), -1);
  EXPECT_EQ(c.Find("TITLE"), &c.Item(2));
  EXPECT_EQ(c.Find("none"), nullptr);
  c.Delete(2);
  EXPECT_EQ(c.IndexOf("title"), 0);
  ExpectConsistent(c);
}

TEST(THashCollection, RenamesAndDeletesKeepCachedIndex) {
  THashCollection c;
  for (const char* name : {"a0", "b1", "c2", "d3", "e4"}) c.AddNamed(name);
  c.Item(1).SetName("Renamed");
  EXPECT_EQ(c.IndexOf("b1"), -1);
  EXPECT_EQ(c.IndexOf("RENAMED"), 1);
  // A rename moves the item to the head of its new bucket, ahead of older items of the same name.
  c.Item(3).SetName("renamed");
  EXPECT_EQ(c.IndexOf("Renamed"), 3);
  c.Delete(0);
  EXPECT_EQ(c.IndexOf("renamed"), 2);
  EXPECT_EQ(c.IndexOf("c2"), 1);
  EXPECT_EQ(c.IndexOf("e4"), 3);
  EXPECT_EQ(c.IndexOf("a0"), -1);
  ExpectConsistent(c);
  c.Delete(2);
  EXPECT_EQ(c.IndexOf("renamed"), 0);
  EXPECT_EQ(c.IndexOf("e4"), 2);
  EXPECT_THROW(c.Delete(3), EKivoError);
  EXPECT_THROW(c.Delete(-1), EKivoError);
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.IndexOf("e4"), -1);
  c.AddNamed("e4");
  EXPECT_EQ(c.IndexOf("E4"), 0);
}

TEST(THashCollection, NamesGivenBetweenLookUpsKeepTheirOrder) {
  THashCollection c;
  c.AddNamed("x");
  EXPECT_EQ(c.IndexOf("X"), 0);
  c.AddNamed("X");
  c.AddNamed("y");
  c.Item(0).SetName("z");
  c.Item(0).SetName("x");  // the newest "x" again
  c.Delete(2);
  EXPECT_EQ(c.IndexOf("x"), 0);
  EXPECT_EQ(c.IndexOf("y"), -1);
  EXPECT_EQ(c.IndexOf("z"), -1);
  c.Delete(0);
  EXPECT_EQ(c.IndexOf("x"), 0);
  ExpectConsistent(c);
}

TEST(THashCollection, ManyNamesInOneChain) {
  // Same length, first and second-to-last byte: every name lands in one bucket chain.
  auto nameOf = [](int i) { return "k" + std::string{static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26)} + "x9"; };
  THashCollection c;
  for (int i = 0; i < 400; ++i) c.AddNamed(nameOf(i));
  for (int i = 399; i >= 0; i -= 3) c.Delete(i);
  ExpectConsistent(c);
  for (int i = 0; i < c.Count(); ++i) {
    EXPECT_EQ(c.IndexOf(SjisUpperCase(c.Item(i).Name())), i);
  }
  EXPECT_EQ(c.IndexOf(nameOf(399)), -1);
}

TEST(THashCollection, NamesThatComeAndGoAreFoundOnlyWhileThere) {
  // Hundreds of names made and deleted again, round after round, among names that stay.
  THashCollection c;
  c.AddNamed("First");
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 300; ++i) c.AddNamed("t" + std::to_string(i) + "_" + std::to_string(round % 2));
    c.AddNamed("Stays" + std::to_string(round));
    // Every other name goes from the middle, then the rest from the end.
    for (int i = 300; i > 0; i -= 2) c.Delete(round + i);
    EXPECT_EQ(c.IndexOf("T1_" + std::to_string(round % 2)), -1);
    EXPECT_EQ(c.IndexOf("T299_" + std::to_string(round % 2)), -1);
    EXPECT_EQ(c.IndexOf("T2_" + std::to_string(round % 2)), round + 2);
    while (c.Count() > round + 2) c.Delete(c.Count() - 2);
    ExpectConsistent(c);
    EXPECT_EQ(c.IndexOf("t0_" + std::to_string(round % 2)), -1);
    EXPECT_EQ(c.IndexOf("STAYS" + std::to_string(round)), round + 1);
  }
  EXPECT_EQ(c.IndexOf("first"), 0);
  c.AddNamed("t5_0");
  EXPECT_EQ(c.IndexOf("T5_0"), 4);
}

struct TCountedItem : THashCollectionItem {
  explicit TCountedItem(int& live) : live_(live) { ++live_; }
  ~TCountedItem() override { --live_; }
  int& live_;
};

struct TCountedCollection : THashCollection {
  int live = 0;
  std::unique_ptr<THashCollectionItem> CreateItem() override { return std::make_unique<TCountedItem>(live); }
};

TEST(THashCollection, OwnsItsItemsOfTheCallersKind) {
  TCountedCollection c;
  c.AddNamed("one");
  c.Add<TCountedItem>("two", c.live);
  EXPECT_EQ(c.live, 2);
  EXPECT_NE(dynamic_cast<TCountedItem*>(c.Find("ONE")), nullptr);
  c.Delete(0);
  EXPECT_EQ(c.live, 1);
  c.Clear();
  EXPECT_EQ(c.live, 0);
}

}  // namespace
}  // namespace kivo
