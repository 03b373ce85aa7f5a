// TClipList: the 20-pixel merging rule, chained merges and the Changed flag.
#include "support/clip_list.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(TClipList, MergesNearRectanglesOnly) {
  struct Case { TRect added; std::vector<TRect> expected; };
  const TRect stored{0, 0, 10, 10};
  const Case cases[] = {
      {{25, 0, 30, 10}, {{0, 0, 30, 10}}},                 // 15 pixels to the right: merged
      {{35, 0, 40, 10}, {{0, 0, 10, 10}, {35, 0, 40, 10}}},  // 25 pixels away: kept apart
      {{30, 0, 40, 10}, {{0, 0, 40, 10}}},                 // exactly 20: still near
      {{0, 31, 10, 40}, {{0, 0, 10, 10}, {0, 31, 10, 40}}},  // 21 below
      {{-30, -30, -11, -11}, {{-30, -30, 10, 10}}},        // 11 above and to the left
      {{-31, 0, -21, 5}, {{0, 0, 10, 10}, {-31, 0, -21, 5}}},
      {{2, 2, 8, 8}, {{0, 0, 10, 10}}},                    // inside: nothing changes
      {{5, 5, 5, 20}, {{0, 0, 10, 10}}},                   // empty: ignored
  };
  for (const Case& c : cases) {
    TClipList list;
    list.Add(stored);
    list.SetChanged(false);
    list.Add(c.added);
    EXPECT_EQ(list.Rects(), c.expected) << c.added.left << "," << c.added.top;
    EXPECT_EQ(list.Changed(), c.expected != std::vector<TRect>{stored});
  }
}

TEST(TClipList, AUnionMergesAgainWithTheOthers) {
  TClipList list;
  list.Add({0, 0, 10, 10});
  list.Add({100, 0, 110, 10});
  list.Add({200, 200, 210, 210});
  ASSERT_EQ(list.Count(), 3);
  // Near the first; the union (0..60) is then near neither; a second bridge joins all of row 0.
  list.Add({25, 0, 60, 10});
  EXPECT_EQ(list.Count(), 3);
  list.Add({70, 0, 90, 10});
  EXPECT_EQ(list.Rects(), (std::vector<TRect>{{200, 200, 210, 210}, {0, 0, 110, 10}}));
  // A large rectangle swallows everything, merging step by step.
  list.Add({-50, -50, 300, 300});
  list.Add({205, 205, 400, 400});
  EXPECT_EQ(list.Rects(), (std::vector<TRect>{{-50, -50, 400, 400}}));
  list.SetChanged(false);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Changed());
}

TEST(TClipList, ExtremeCoordinatesDoNotWrap) {
  TClipList list;
  const int big = 2147483647;
  list.Add({big - 10, big - 10, big, big});
  list.Add({-big, -big, -big + 10, -big + 10});
  EXPECT_EQ(list.Count(), 2);
}

}  // namespace
}  // namespace kivo
