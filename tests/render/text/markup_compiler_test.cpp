// Glyphs from markup: the tag set, the attribute state, shared styles and the A-without-HREF error.
#include "render/text/markup_compiler.h"

#include <gtest/gtest.h>

#include "render/text/glyph_stream.h"

namespace kivo {
namespace {

TWdGlyphList Compile(std::vector<std::string> lines, int32_t defaultWait = 50) {
  return CompileMarkup(lines, TMarkupOptions{defaultWait});
}

template <class T>
const T& GlyphAt(const TWdGlyphList& list, int index) {
  const TWdGlyph* glyph = list.At(index);
  EXPECT_NE(glyph, nullptr) << index;
  const T* typed = dynamic_cast<const T*>(glyph);
  EXPECT_NE(typed, nullptr) << "glyph " << index << " has kind " << int(glyph ? glyph->GlyphKind() : 255);
  static const T empty{};
  return typed ? *typed : empty;
}

std::string Kinds(const TWdGlyphList& list) {
  std::string kinds;
  for (const auto& g : list.Glyphs()) kinds += static_cast<char>('0' + g->GlyphKind());
  return kinds;
}

TEST(CompileMarkup, NestedFontsPushAndPopEveryStack) {
  TWdGlyphList list = Compile({
      "a<FONT SIZE=20 COLOR=#FF8000 NAME=\"\x82\x6C\x82\x72 Gothic\" BORDER=2>b",
      "<FONT COLOR=#0000ff SHADOW=3 BCOLOR=#010203 SCOLOR=#102030>c</FONT>d</FONT>e"});
  ASSERT_EQ(list.Text(), "ab cde");
  const TDecorate& a = *GlyphAt<TWdChar>(list, 0).Style;
  const TDecorate& b = *GlyphAt<TWdChar>(list, 1).Style;
  const TDecorate& c = *GlyphAt<TWdChar>(list, 3).Style;  // glyph 2 is the joined line's space
  const TDecorate& d = *GlyphAt<TWdChar>(list, 4).Style;
  const TDecorate& e = *GlyphAt<TWdChar>(list, 5).Style;
  EXPECT_TRUE(a.SameValues(TDecorate{}));
  EXPECT_EQ(b.Size, 20);
  EXPECT_EQ(b.Color, 0x0080FF);  // red in the low byte
  EXPECT_EQ(b.FontName, "\x82\x6C\x82\x72 Gothic");
  EXPECT_EQ(b.BorderWidth, 2);
  EXPECT_EQ(b.ShadowOffset, -1);
  // The inner FONT keeps what it does not name.
  EXPECT_EQ(c.Size, 20);
  EXPECT_EQ(c.Color, 0xFF0000);
  EXPECT_EQ(c.FontName, b.FontName);
  EXPECT_EQ(c.BorderWidth, 2);
  EXPECT_EQ(c.ShadowOffset, 3);
  EXPECT_EQ(c.BorderColor, 0x030201);
  EXPECT_EQ(c.ShadowColor, 0x302010);
  EXPECT_EQ(&d, &b);  // back to the outer FONT's style record
  EXPECT_EQ(&e, &a);
  EXPECT_EQ(a.RefCount, 2);
  EXPECT_EQ(b.RefCount, 3);  // b, the space and d
}

TEST(CompileMarkup, FontAttributeValuesThatAreNotValid) {
  struct Case {
    const char* font;
    int32_t size, color, border, shadow;
  };
  const Case cases[] = {
      {"<FONT SIZE=abc>", 16, 0x0000FF, 4, -1},      // keeps the current size
      {"<FONT SIZE=$10>", 16, 0x0000FF, 4, -1},      // hexadecimal is a number
      {"<FONT SIZE=-2>", -2, 0x0000FF, 4, -1},
      {"<FONT BORDER=-3>", 16, 0x0000FF, 0, -1},     // negative gives 0
      {"<FONT BORDER=x SHADOW>", 16, 0x0000FF, 1, 1},  // not a number gives 1
      {"<FONT COLOR=00FF00>", 16, 0x0000FF, 4, -1},  // no "#": the colour stays
      {"<FONT COLOR=#00GG00>", 16, 0x0000FF, 4, -1},
      {"<FONT COLOR=#00ff00>", 16, 0x00FF00, 4, -1},
      {"<FONT COLOR='#00FF00' SIZE=\"7\">", 7, 0x00FF00, 4, -1},
  };
  for (const Case& c : cases) {
    TWdGlyphList list = Compile({std::string("<FONT SIZE=16 COLOR=#FF0000 BORDER=4>") + c.font + "x"});
    const TDecorate& s = *GlyphAt<TWdChar>(list, 0).Style;
    EXPECT_EQ(s.Size, c.size) << c.font;
    EXPECT_EQ(s.Color, c.color) << c.font;
    EXPECT_EQ(s.BorderWidth, c.border) << c.font;
    EXPECT_EQ(s.ShadowOffset, c.shadow) << c.font;
  }
}

TEST(CompileMarkup, FlagsNoBreakAndRubyApplyToTheCharactersBetween) {
  TWdGlyphList list = Compile({"<b>a<i>b</B>c<u><s>d</i></U></s><NOBR><RUBY VALUE=\"\x82\xA9\x82\xC8\">"
                               "\x89\xBC</ruby>e</nobr>f"});
  ASSERT_EQ(list.Count(), 7);
  const uint8_t flags[] = {FS_BOLD, FS_BOLD | FS_ITALIC, FS_ITALIC,
                           FS_ITALIC | FS_UNDERLINE | FS_STRIKEOUT, 0, 0, 0};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(GlyphAt<TWdChar>(list, i).Style->Flags, flags[i]) << i;
  const TWdChar& kanji = GlyphAt<TWdChar>(list, 4);
  EXPECT_EQ(kanji.Code, 0x89BC);  // one glyph for the double-byte character
  EXPECT_EQ(kanji.Style->Ruby, "\x82\xA9\x82\xC8");
  EXPECT_EQ(kanji.Style->NoBreak, 1);
  EXPECT_EQ(GlyphAt<TWdChar>(list, 5).Style->Ruby, "");
  EXPECT_EQ(GlyphAt<TWdChar>(list, 5).Style->NoBreak, 1);
  EXPECT_EQ(GlyphAt<TWdChar>(list, 6).Style->NoBreak, 0);
}

TEST(CompileMarkup, LinksDecodeTheirEscapesAndCoverImagesToo) {
  TWdGlyphList list = Compile({"<A HREF=\"go\\\\page\\n\\x\">a<IMG SRC=\"pic.bmp\" ALIGN=top></A>b"
                               "<A HREF=\"\">c"});
  ASSERT_EQ(Kinds(list), "1911");
  EXPECT_EQ(GlyphAt<TWdChar>(list, 0).Link, "go\\page\r\n\\x");
  const TWdImg& img = GlyphAt<TWdImg>(list, 1);
  EXPECT_EQ(img.Link, "go\\page\r\n\\x");
  EXPECT_EQ(img.Source, "pic.bmp");
  EXPECT_EQ(img.Align, AL_TOP);
  EXPECT_EQ(GlyphAt<TWdChar>(list, 2).Link, "");
  EXPECT_EQ(GlyphAt<TWdChar>(list, 3).Link, "");
}

TEST(CompileMarkup, AnATagWithoutHrefStopsWithItsPosition) {
  TWdGlyphList list;
  try {
    CompileMarkup({"ok", "\x82\xA0\x82\xA2 <B><a name=x>lost"}, list);
    FAIL() << "no error";
  } catch (const EMarkupError& e) {
    EXPECT_EQ(e.Message(), "<A>\x83\x5E\x83\x4F\x82\xC9HREF\x92\x6C\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
    EXPECT_EQ(e.Line(), 2);
    EXPECT_EQ(e.Column(), 7);  // two double-byte characters count one column each
  }
  EXPECT_EQ(list.Text(), "ok \x82\xA0\x82\xA2 ");  // what was made before the error stays
}

TEST(CompileMarkup, VariablesAndHistoryCharactersCarryTheState) {
  TWdGlyphList list = Compile({"<FONT SIZE=30><A HREF=l><WAIT VALUE=7><VAR NAME=\"a + 1\">"
                               "<HISTCHAR VALUE=\"@x\"></WAIT><VAR><HISTCHAR><VAR NAME=\"\">"});
  ASSERT_EQ(Kinds(list), "7:");  // the VAR and HISTCHAR without a text make nothing
  const TWdOpeVar& v = GlyphAt<TWdOpeVar>(list, 0);
  EXPECT_EQ(v.Text, "a + 1");
  EXPECT_EQ(v.Style->Size, 30);
  EXPECT_EQ(v.Link, "l");
  EXPECT_EQ(v.Wait, 7);
  const TWdOpeHistChar& h = GlyphAt<TWdOpeHistChar>(list, 1);
  EXPECT_EQ(h.Text, "@x");
  EXPECT_EQ(h.Style, v.Style);
  EXPECT_EQ(v.Style->RefCount, 2);
}

TEST(CompileMarkup, WaitsStackOverTheDefault) {
  TWdGlyphList list = Compile({"a<WAIT VALUE=-100>b<WAIT VALUE=x>c</WAIT>d</WAIT></WAIT>e"}, 40);
  const int32_t waits[] = {40, -100, -100, -100, 40};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(GlyphAt<TWdChar>(list, i).Wait, waits[i]) << i;
}

TEST(CompileMarkup, BreaksAlignmentsIndentsAndEvents) {
  TWdGlyphList list = Compile({"<DIV ALIGN=CENTER><DIV ALIGN=top><INDENT>a<BR><BR CLEAR><CLEAR>",
                               "<UNDENT></DIV><EVENT VALUE=\"v\\n1\" END><EVENT VALUE=two></DIV></DIV>"});
  ASSERT_EQ(Kinds(list), "2241333526622");
  const uint8_t aligns[] = {AL_CENTER, AL_LEFT, AL_CENTER, AL_LEFT, AL_LEFT};
  int k = 0;
  for (int i : {0, 1, 8, 11, 12}) EXPECT_EQ(GlyphAt<TWdOpeAlign>(list, i).Align, aligns[k++]) << i;
  EXPECT_EQ(GlyphAt<TWdOpeReturn>(list, 4).Clear, 0);
  EXPECT_EQ(GlyphAt<TWdOpeReturn>(list, 5).Clear, 1);
  EXPECT_EQ(GlyphAt<TWdOpeReturn>(list, 6).Clear, 1);
  EXPECT_EQ(GlyphAt<TWdOpeEvent>(list, 9).Value, "v\r\n1");
  EXPECT_TRUE(GlyphAt<TWdOpeEvent>(list, 9).End);
  EXPECT_EQ(GlyphAt<TWdOpeEvent>(list, 10).Value, "two");
  EXPECT_FALSE(GlyphAt<TWdOpeEvent>(list, 10).End);
}

TEST(CompileMarkup, PreTurnsLineEndsIntoBreaksExceptTheLastOne) {
  TWdGlyphList list = Compile({"<PRE>", "a  b", "c", "</PRE>"});
  EXPECT_EQ(Kinds(list), "11131");
  EXPECT_EQ(list.Text(), "a bc");
}

TEST(CompileMarkup, UnknownTagsCommentsAndEscapedBracketsShowNothingOrText) {
  TWdGlyphList list = Compile({"<BLINK>a<!-- <B> -->\\<B\\><STYLE>x</STYLE>\\q"});
  EXPECT_EQ(Kinds(list), "11111");
  EXPECT_EQ(list.Text(), "a<B>q");
  EXPECT_EQ(GlyphAt<TWdChar>(list, 2).Style->Flags, 0);
}

TEST(CompileMarkup, WarnsWhereTheMarkupIsProbablyWrongWithoutChangingTheGlyphs) {
  const std::vector<std::string> markup = {
      "<FONT SIZE=big COLOR=red BORDER NAME=x>a<BLINK><b colour=1>",
      "  <IMG ALIGN=LEFT><DIV ALIGN=TOP><WAIT><VAR NAME=\"\"><HISTCHAR VALUE=h><>b",
      "\"fine\" \"<B>shown</B>\" \\\"escaped <I"};
  std::vector<TMarkupWarning> warnings;
  TWdGlyphList warned = CompileMarkup(markup, TMarkupOptions{50, &warnings});
  struct Expected {
    int line, column;
    const char* text;
  };
  const Expected expected[] = {
      {1, 1, "<FONT> SIZE is not a number"},
      {1, 1, "<FONT> COLOR=red is not #RRGGBB"},
      {1, 41, "unknown tag <BLINK> is ignored"},
      {1, 48, "<b> has no attribute colour"},
      {2, 3, "<IMG> without SRC is ignored"},
      {2, 3, "<IMG> ALIGN=LEFT is not one of the alignments it takes"},
      {2, 19, "<DIV> ALIGN=TOP is not one of the alignments it takes"},
      {2, 34, "<WAIT> VALUE is not a number"},
      {2, 40, "<VAR> without NAME is ignored"},
      {3, 8, "tags between double quotes are shown as text (write \\\" for a quote character)"},
      {3, 33, "unclosed tag or comment is shown as text"},
  };
  ASSERT_EQ(warnings.size(), std::size(expected));
  for (size_t i = 0; i < warnings.size(); ++i) {
    EXPECT_EQ(warnings[i].Line, expected[i].line) << i;
    EXPECT_EQ(warnings[i].Column, expected[i].column) << i;
    EXPECT_EQ(warnings[i].Text, expected[i].text) << i;
  }
  EXPECT_EQ(SaveGlyphList(warned), SaveGlyphList(CompileMarkup(markup)));

  warnings.clear();
  CompileMarkup({"a \"b<BR>"}, TMarkupOptions{50, &warnings});
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].Column, 3);
  EXPECT_EQ(warnings[0].Text, "a double quote that is never closed makes the rest text (write \\\" for a quote character)");
}

TEST(SplitMarkupLines, AcceptsEveryLineEnd) {
  EXPECT_EQ(SplitMarkupLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitMarkupLines(""), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace kivo
