// The string, number and date functions, called through compiled expressions.
#include <gtest/gtest.h>

#include "values/expr/expr_fixture.h"
#include "values/functions/date_time.h"
#include "values/functions/function_table.h"

namespace kivo {
namespace {

class FunctionTest : public ::testing::Test, public ExprFixture {};

struct Case {
  std::string text;
  std::string result;
};

void ExpectAll(ExprFixture& f, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(f.Eval(c.text), c.result);
  }
}

TEST(FunctionTable, NamesNumbersAndLimits) {
  EXPECT_EQ(FindSysFunc("IntToStr"), 0);
  EXPECT_EQ(FindSysFunc("GetProp"), 2);
  EXPECT_EQ(FindSysFunc("Calc"), 136);
  EXPECT_EQ(FindSysFunc("DBGetTable"), 160);
  EXPECT_EQ(FindSysFunc("inttostr"), -1);
  // Every name is unique, so look-up by name gives back each number.
  for (int i = 0; i < kSysFuncCount; ++i) EXPECT_EQ(FindSysFunc(SysFuncInfo(i).Name), i) << i;
  EXPECT_TRUE(SysFuncArgCountFits(21, 40));  // SetArray has no upper limit
  EXPECT_FALSE(SysFuncArgCountFits(21, 1));
  EXPECT_TRUE(SysFuncArgCountFits(91, 0));  // DBInsert
  EXPECT_FALSE(SysFuncArgCountFits(156, 1));  // PopVar
  EXPECT_EQ(SysFuncInfo(139).ResultKind, PT_FLOAT);  // StrToFloatDef
  EXPECT_EQ(SysFuncInfo(122).ResultKind, PT_STR);    // DBGetActive
}

TEST_F(FunctionTest, Strings) {
  // Two full-width characters (0x82A0, 0x82A2) and one ASCII letter.
  ExpectAll(*this, {
      {"IntToStr(7, 3)", "4:007"}, {"IntToStr(-7, 3)", "4:-007"}, {"IntToStr(42)", "4:42"},
      {"IntToStr(1234, 2)", "4:1234"}, {"IntToStr(1, \"x\")", "none"}, {"IntToStr(1, 100000)", "none"},
      {"IntToHex(255, 4)", "4:00FF"}, {"IntToHex(-1, 2)", "4:FFFFFFFF"}, {"IntToHex(10, 0)", "4:A"},
      {"Length(\"\x82\xa0\x82\xa2z\")", "1:5"}, {"JLength(\"\x82\xa0\x82\xa2z\")", "1:3"},
      {"Copy(\"abcdef\", 2, 3)", "4:bcd"}, {"Copy(\"abcdef\", 5)", "4:ef"}, {"Copy(\"abc\", 0, 2)", "4:ab"},
      {"Copy(\"abc\", 4, 1)", "4:"}, {"Copy(\"abc\", 2, -1)", "4:"}, {"Copy(\"abc\", 3, 99)", "4:c"},
      {"JCopy(\"\x82\xa0\x82\xa2z\", 2, 1)", "4:\x82\xa2"}, {"JCopy(\"\x82\xa0\x82\xa2z\", 2)", "4:\x82\xa2z"},
      {"JCopy(\"\x82\xa0\x82\xa2z\", 4, 1)", "4:"}, {"JCopy(\"\x82\xa0\x82\xa2z\", 1, 0)", "4:\x82\xa0"},
      {"CompareStr(\"a\", \"b\")", "1:-1"}, {"CompareStr(\"ab\", \"a\")", "1:1"}, {"CompareStr(\"\x82\xa0\", \"z\")", "1:8"},
      {"CompareText(\"ABC\", \"abc\")", "1:0"},
      {"Pos(\"c\", \"abcabc\")", "1:3"}, {"Pos(\"\", \"a\")", "1:0"}, {"Pos(\"\xa2\", \"\x82\xa2\")", "1:2"},
      {"JPos(\"\x82\xa2\", \"z\x82\xa0\x82\xa2\")", "1:3"}, {"JPos(\"\xa2\", \"\x82\xa2\")", "1:0"},
      {"Trim(\"  \tab \r\n\")", "4:ab"}, {"JTrim(\"\x81\x40" "a\x81\x40" "b\x81\x40 \")", "4:a\x81\x40" "b"},
      {"FixStr(\"a\x82\xa0\")", "4:a\x82\xa0"},
      {"LowerCase(\"AbC\x82\x60\")", "4:abc\x82\x60"}, {"UpperCase(\"a\x83\x61q\")", "4:A\x83\x61Q"},
      {"IsDelimiter(\",;\", \"a;b\", 2)", "3:TRUE"}, {"IsDelimiter(\"\\\\\", \"\x95\x5c\", 2)", "3:FALSE"},
      {"IsDelimiter(\",\", \"a\", 5)", "3:FALSE"},
      // Paths: 0x955C ends in the byte of "\", and is never taken for a delimiter.
      {"ExtractFilePath(\"c:\\\\dir\\\\a.txt\")", "4:c:\\dir\\"}, {"ExtractFilePath(\"d:a\")", "4:d:"},
      {"ExtractFilePath(\"\x95\x5c.txt\")", "4:"}, {"ExtractFileName(\"dir\\\\\x95\x5c.txt\")", "4:\x95\x5c.txt"},
      {"ExtractFileExt(\"a.b\\\\c.txt\")", "4:.txt"}, {"ExtractFileExt(\"a.b\\\\c\")", "4:"},
      {"ChangeFileExt(\"dir\\\\page.kss\", \".ksb\")", "4:dir\\page.ksb"},
      {"ChangeFileExt(\"a.b\\\\c\", \".x\")", "4:a.b\\c.x"},
      {"IsPathDelimiter(\"a\\\\\", 2)", "3:TRUE"}, {"IsPathDelimiter(\"\x95\x5c\", 2)", "3:FALSE"},
      {"AddBackSlash(\"dir\")", "4:dir\\"}, {"AddBackSlash(\"dir\\\\\")", "4:dir\\"},
      {"AddBackSlash(\"\x95\x5c\")", "4:\x95\x5c\\"}, {"AddBackSlash(\"\")", "4:\\"},
      {"StringOfChar(\"ab\", 3)", "4:ababab"}, {"StringOfChar(\"a\", 0)", "4:"},
      {"StringOfChar(\"abcd\", 100000000)", "none"},
      {"StringReplace(\"a.b.c\", \".\", \"-\")", "4:a-b.c"}, {"StringReplace(\"a.b.c\", \".\", \"-\", TRUE)", "4:a-b-c"},
      {"StringReplace(\"aXbxc\", \"x\", \"-\", TRUE)", "4:aXb-c"},
      {"StringReplace(\"aXbxc\", \"x\", \"-\", TRUE, TRUE)", "4:a-b-c"},
      {"StringReplace(\"aXbxc\", \"x\", \"-\", FALSE, TRUE)", "4:a-bxc"},
      {"StringReplace(\"abc\", \"\", \"-\", TRUE)", "4:abc"},
      // The trail byte 0x5C of 0x835C is not a backslash.
      {"StringReplace(\"\x83\x5c\\\\\", \"\\\\\", \"/\", TRUE)", "4:\x83\x5c/"},
      {"HanToZen(\"\xb6\xde\")", "4:\x83\x4b"}, {"ZenToHan(\"\x88\x9f\x82\x50\")", "4:1"},
      {"AddDelimiter(\",\", \"\")", "4:"}, {"AddDelimiter(\",\", \"a\")", "4:a,"},
      {"StrToIntDef(\"$1F\", 0)", "1:31"}, {"StrToIntDef(\"12x\", -1)", "1:-1"},
      {"StrToFloatDef(\"1.5\", 0)", "2:1.5"}, {"StrToFloatDef(\"x\", 2.5)", "2:2.5"},
      {"Chr(321)", "4:A"}, {"Ord(\"A\")", "1:65"}, {"Ord(\"\")", "1:0"}, {"Ord(\"\x82\xa0\")", "1:130"},
  });
}

TEST_F(FunctionTest, StringsWriteBackThroughVariables) {
  TCustomParam& s = *Declare("s", PT_STR).Param;
  struct VarCase { const char* start; const char* call; const char* after; };
  const VarCase cases[] = {
      {"abcdef", "Delete(s, 2, 3)", "aef"},     {"abcdef", "Delete(s, 3)", "ab"},
      {"abc", "Delete(s, 0, 1)", "abc"},        {"abc", "Delete(s, 4, 1)", "abc"},
      {"\x82\xa0\x82\xa2z", "JDelete(s, 2, 1)", "\x82\xa0z"}, {"\x82\xa0\x82\xa2z", "JDelete(s, 2)", "\x82\xa0"},
      {"ac", "Insert(\"b\", s, 2)", "abc"},     {"ac", "Insert(\"b\", s, 9)", "acb"},
      {"ac", "Insert(\"b\", s, -1)", "bac"},
      {"\x82\xa0z", "JInsert(\"y\", s, 2)", "\x82\xa0yz"},
  };
  for (const VarCase& c : cases) {
    SCOPED_TRACE(c.call);
    s.SetStr(c.start);
    Eval(c.call);
    EXPECT_EQ(s.AsString(), c.after);
  }
  // A lead byte left without its trail byte (which no literal can hold: it takes the quote).
  s.SetStr("ab\x82");
  EXPECT_EQ(Eval("FixStr(s)"), "4:ab");
  // A literal receives the write and loses it; the compiled constant is unchanged.
  EXPECT_EQ(Eval("Delete(\"abc\", 1, 1)"), "1:0");
}

TEST_F(FunctionTest, NumbersAndDates) {
  ExpectAll(*this, {
      {"Not(TRUE)", "3:FALSE"}, {"Not(0)", "3:TRUE"},
      {"Int(2.9)", "1:2"}, {"Int(-2.9)", "1:-2"}, {"Float(3)", "2:3"},
      {"Sin(0)", "2:0"}, {"Cos(0)", "2:1"}, {"ArcTan2(0, -1)", "2:3.14159265358979"},
      {"ArcTan2(-1, 0) < 0", "3:TRUE"}, {"ArcSin(2)", "none"}, {"ArcCos(1)", "2:0"},
      {"Hypot(3, 4)", "2:5"}, {"Abs(-5)", "1:5"}, {"Abs($80000000)", "1:-2147483648"}, {"Fabs(-1.5)", "2:1.5"},
      {"Min(3, -2)", "1:-2"}, {"Max(3, -2)", "1:3"}, {"Min(2.9, 2)", "1:2"},
      {"Fmin(1.5, 2)", "2:1.5"}, {"Fmax(1.5, 2)", "2:2"},
      {"EncodeDate(1899, 12, 30)", "2:0"}, {"EncodeDate(2000, 1, 1)", "2:36526"},
      {"EncodeDate(1, 1, 1)", "2:-693593"}, {"EncodeDate(9999, 12, 31)", "2:2958465"},
      {"EncodeDate(2000, 2, 29)", "2:36585"}, {"EncodeDate(1900, 2, 29)", "none"}, {"EncodeDate(2000, 13, 1)", "none"},
      {"EncodeTime(12, 0, 0)", "2:0.5"}, {"EncodeTime(24, 0, 0)", "none"},
      {"GetYear(36526.75)", "1:2000"}, {"GetMonth(36585)", "1:2"}, {"GetDay(36585)", "1:29"},
      {"GetHour(36526.75)", "1:18"}, {"GetMin(EncodeTime(1, 2, 3))", "1:2"}, {"GetSec(EncodeTime(1, 2, 3))", "1:3"},
      // Rounded to the millisecond first: this is midnight of the next day.
      {"GetDay(36526.99999999999)", "1:2"}, {"GetHour(36526.99999999999)", "1:0"},
      // Before the epoch the time of day still counts forward: -1.5 is 29 December 1899, 12:00.
      {"GetDay(-1.5)", "1:29"}, {"GetHour(-1.5)", "1:12"}, {"GetYear(-693594)", "1:0"},
      {"GetYear(1e300)", "none"},
      {"GetWeek(0)", "1:7"}, {"GetWeek(EncodeDate(2026, 12, 6))", "1:1"},
      {"GetWeekStr(EncodeDate(2026, 12, 10))", "4:Thursday"},
      {"GetWeekJStr(EncodeDate(2026, 12, 10))", "4:\x96\xd8"}, {"GetWeekJStr(-1)", "4:\x8b\xe0"},
      {"Random(1)", "1:0"}, {"Random(0)", "1:0"},
  });
  for (int i = 0; i < 200; ++i) {
    int32_t r = std::stoi(Eval("Random(7)").substr(2));
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 7);
  }
  // The calendar round trip over four centuries, leap days included.
  for (int32_t day = -1; day < 146097; day += 13) {
    TDateParts p = DecodeDate(day);
    ASSERT_EQ(EncodeDate(p.Year, p.Month, p.Day), day);
  }
}

TEST_F(FunctionTest, DecodeWritesPartsIntoVariablesOfTheirOwnKind) {
  Declare("y", PT_INT);
  Declare("m", PT_STR);
  Declare("d", PT_FLOAT);
  Eval("DecodeDate(36585.5, y, m, d)");
  EXPECT_EQ(Var("y").AsInt(), 2000);
  EXPECT_EQ(Var("m").AsString(), "2");
  EXPECT_EQ(Var("d").AsFloat(), 29.0L);
  Eval("DecodeTime(EncodeTime(13, 14, 15) + 0.1 / 86400, y, m, d)");
  EXPECT_EQ(Var("y").AsInt(), 13);
  EXPECT_EQ(Var("m").AsString(), "14");
  EXPECT_EQ(Var("d").AsFloat(), 15.0L);
}

}  // namespace
}  // namespace kivo
