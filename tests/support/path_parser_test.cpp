// TPathParser, ResolvePath and SplitSuffix, with "\" chains and trail bytes that look like "\".
#include "support/path_parser.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(TPathParser, Components) {
  struct Case { const char* path; std::vector<std::string> components; };
  const Case cases[] = {
      {"", {}},
      {"c:\\Game\\data", {"C:\\", "GAME\\", "DATA\\"}},
      {"C:", {"C:\\"}},
      {"\\\\server\\share\\dir\\", {"\\\\SERVER\\", "SHARE\\", "DIR\\"}},
      {"\\root\\x", {"\\", "ROOT\\", "X\\"}},
      {"rel\\\x95\x5c\\b", {"REL\\", "\x95\x5c\\", "B\\"}},
      {"\x95\x5c", {"\x95\x5c\\"}},
  };
  for (const Case& c : cases) {
    TPathParser p;
    p.Parse(c.path);
    EXPECT_EQ(p.Components(), c.components) << c.path;
  }
  TPathParser p;
  p.Parse("d:\\a\\b");
  EXPECT_EQ(p.Join(), "D:\\A\\B\\");
}

TEST(ResolvePath, RelativeAbsoluteAndClimbing) {
  struct Case { const char* path; const char* base; const char* expected; };
  const Case cases[] = {
      {"x", "c:\\base\\", "x"},
      {"", "c:\\base\\", ""},
      {"\\abs\\f.txt", "c:\\base\\", "\\abs\\f.txt"},
      {"d:\\f.txt", "c:\\base\\", "d:\\f.txt"},
      {"sub\\f.txt", "c:\\Base\\", "c:\\Base\\sub\\f.txt"},
      {"..\\f.txt", "c:\\game\\data\\", "C:\\GAME\\f.txt"},
      {"..\\..\\f.txt", "c:\\game\\data", "C:\\f.txt"},
      {"..\\..\\..\\..\\f.txt", "c:\\game\\data\\", "..\\f.txt"},
      {"..\\x\\..\\f", "c:\\a\\b\\", "C:\\A\\x\\..\\f"},
      {"..\\f", "c:\\a\\\x95\x5c\\", "C:\\A\\f"},
      {"..\\f", "", "..\\f"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePath(c.path, c.base), c.expected) << c.path << " in " << c.base;
}

TEST(SplitSuffix, OnlyTheLastComponentsColonSplits) {
  struct Case { const char* name; const char* rest; const char* suffix; };
  const Case cases[] = {
      {"image:m", "image", "m"},
      {"bg\\image.bmp:mt", "bg\\image.bmp", "mt"},
      {"a:b:c", "a:b", "c"},
      {"a:b.bmp", "a:b.bmp", ""},
      {"a:dir\\b", "a:dir\\b", ""},
      {":abc", ":abc", ""},
      {"image:", "image", ""},
      {"plain", "plain", ""},
      {"\x95\x5c:s", "\x95\x5c", "s"},
      {"x:\x95\x5c", "x", "\x95\x5c"},  // the trail 0x5C is no folder delimiter
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    std::string suffix = "stale";
    SplitSuffix(name, suffix);
    EXPECT_EQ(name, c.rest) << c.name;
    EXPECT_EQ(suffix, c.suffix) << c.name;
  }
}

TEST(PathHelpers, TrailingBackslashIsAwareOfTrailBytes) {
  EXPECT_EQ(IncludeTrailingBackslash("a"), "a\\");
  EXPECT_EQ(IncludeTrailingBackslash("a\\"), "a\\");
  EXPECT_EQ(IncludeTrailingBackslash("\x95\x5c"), "\x95\x5c\\");
  EXPECT_EQ(LastBackslash("a\\\x95\x5c"), 1u);
  EXPECT_EQ(LastBackslash("\x95\x5c"), std::string::npos);
}

}  // namespace
}  // namespace kivo
