// Shift-JIS case rule, comparison and the J* routines, with double-byte characters whose trail
// bytes look like "\" (0x95 0x5C), "|" (0x83 0x7C) or a letter (0x83 0x41).
#include "support/sjis.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"

namespace kivo {
namespace {

TEST(Sjis, CaseFoldingLeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(SjisLowerCase("AbC\x83\x41Z\x82\x60"), "abc\x83\x41z\x82\x60");
  EXPECT_EQ(SjisUpperCase("a\x83\x61q\x95\x5c"), "A\x83\x61Q\x95\x5c");
  // A lone lead byte at the end is a character of its own and is kept.
  EXPECT_EQ(SjisUpperCase("x\x83"), "X\x83");
}

TEST(Sjis, SameTextAndCompareIgnoreOnlySingleByteCase) {
  EXPECT_TRUE(SjisSameText("Data\\BG.bmp", "DATA\\bg.BMP"));
  EXPECT_TRUE(SjisSameText("\x83\x41x", "\x83\x41X"));
  // 0x83 0x41 and 0x83 0x61 are different characters although 0x41/0x61 look like A/a.
  EXPECT_FALSE(SjisSameText("\x83\x41", "\x83\x61"));
  EXPECT_FALSE(SjisSameText("ab", "abc"));
  EXPECT_EQ(SjisCompareText("ABC", "abc"), 0);
  EXPECT_LT(SjisCompareText("abc", "ABD"), 0);
  EXPECT_GT(SjisCompareText("b", "A"), 0);
  EXPECT_LT(SjisCompareText("ab", "AB\x83\x41"), 0);
  EXPECT_GT(SjisCompareText("\x83\x61", "\x83\x41"), 0);
}

TEST(Sjis, TrailBytes) {
  std::string s = "a\x95\x5c\x83\x7c\x88\x9f\x41";  // a, two kanji-like pairs, 0x889F, then 'A'
  struct Case { int index; bool trail; };
  for (Case c : {Case{1, false}, {2, false}, {3, true}, {4, false}, {5, true}, {6, false}, {7, true}, {8, false}}) {
    EXPECT_EQ(IsTrailByte(s, c.index), c.trail) << c.index;
  }
  EXPECT_THROW(IsTrailByte(s, 0), EKivoError);
  EXPECT_THROW(IsTrailByte(s, 9), EKivoError);
  EXPECT_THROW(IsTrailByte("", 1), EKivoError);
}

TEST(Sjis, CharacterCounting) {
  std::string s = "a\x95\x5c" "b\x83\x7c";  // 4 characters, 6 bytes
  EXPECT_EQ(JLength(s), 4);
  EXPECT_EQ(JLength(""), 0);
  EXPECT_EQ(JLength("\x83"), 1);
  struct Case { int n; int byte; };
  for (Case c : {Case{-3, 1}, {1, 1}, {2, 2}, {3, 4}, {4, 5}, {5, 7}, {9, 7}}) {
    EXPECT_EQ(JCharToByte(s, c.n), c.byte) << c.n;
  }
  EXPECT_EQ(JCharAt(s, 1), 'a');
  EXPECT_EQ(JCharAt(s, 2), 0x955C);
  EXPECT_EQ(JCharAt(s, 4), 0x837C);
  EXPECT_EQ(JCharAt(s, 5), 0);
  EXPECT_EQ(JCharAt(s, 0), 0);
}

TEST(Sjis, JCopy) {
  std::string s = "a\x95\x5c" "b\x83\x7c";
  struct Case { int index, count; const char* expected; };
  for (Case c : {Case{1, 2, "a\x95\x5c"}, {2, 1, "\x95\x5c"}, {2, 0, "\x95\x5c"}, {3, -5, "b"}, {0, 1, "a"},
                 {3, 99, "b\x83\x7c"}, {5, 1, ""}, {4, 1, "\x83\x7c"}}) {
    EXPECT_EQ(JCopy(s, c.index, c.count), c.expected) << c.index << "," << c.count;
  }
}

TEST(Sjis, JPosMatchesOnlyOnCharacterBoundaries) {
  // "\x5c" occurs as the trail of 0x955C first and only then as a real backslash.
  std::string s = "\x95\x5c" "a\\b";
  EXPECT_EQ(JPos("\\", s), 3);
  EXPECT_EQ(JPos("|", "\x83\x7c|"), 2);
  EXPECT_EQ(JPos("A", "\x83\x41" "A"), 2);
  EXPECT_EQ(JPos("b", s), 4);
  EXPECT_EQ(JPos("\x95\x5c", s), 1);
  EXPECT_EQ(JPos("", s), 0);
  EXPECT_EQ(JPos("z", s), 0);
}

TEST(Sjis, JInsertAndJDelete) {
  struct InsertCase { int index; const char* expected; };
  for (InsertCase c : {InsertCase{-1, "X\x95\x5c" "a"}, {1, "X\x95\x5c" "a"}, {2, "\x95\x5cXa"}, {3, "\x95\x5c" "aX"},
                       {50, "\x95\x5c" "aX"}}) {
    std::string s = "\x95\x5c" "a";
    JInsert("X", s, c.index);
    EXPECT_EQ(s, c.expected) << c.index;
  }
  struct DeleteCase { int index, count; const char* expected; };
  for (DeleteCase c : {DeleteCase{1, 1, "a\x83\x7c"}, {0, 2, "\x83\x7c"}, {2, 5, "\x95\x5c"}, {4, 1, "\x95\x5c" "a\x83\x7c"},
                       {2, 0, "\x95\x5c" "a\x83\x7c"}, {3, 1, "\x95\x5c" "a"}}) {
    std::string s = "\x95\x5c" "a\x83\x7c";
    JDelete(s, c.index, c.count);
    EXPECT_EQ(s, c.expected) << c.index << "," << c.count;
  }
}

TEST(Sjis, FetchTokenSkipsTrailBytes) {
  std::string s = "\x83\x7c" "ab|cd|";
  EXPECT_EQ(FetchToken(s, "|"), "\x83\x7c" "ab");
  EXPECT_EQ(s, "cd|");
  EXPECT_EQ(FetchToken(s, ",|"), "cd");
  EXPECT_EQ(s, "");
  std::string rest = "\x95\x5cz";
  EXPECT_EQ(FetchToken(rest, "\\"), "\x95\x5cz");
  EXPECT_EQ(rest, "");
}

TEST(Sjis, TrimHalfAndFullWidthSpaces) {
  EXPECT_EQ(JTrim("\x81\x40 a\x81\x40" "b \x81\x40"), "a\x81\x40" "b");
  EXPECT_EQ(JTrim(" \x81\x40 "), "");
  // 0x81 0x81 is one character; the following "@" (0x40) must not be taken for a space's trail.
  EXPECT_EQ(JTrim("\x81\x81\x40"), "\x81\x81\x40");
  std::string left = "  \x81\x40x ";
  JTrimLeft(left);
  EXPECT_EQ(left, "x ");
  std::string right = " x\x81\x40 ";
  JTrimRight(right);
  EXPECT_EQ(right, " x");
}

}  // namespace
}  // namespace kivo
