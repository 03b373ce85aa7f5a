// Random markup and damaged streams: no crash, and whatever the printer prints compiles back exactly.
#include <gtest/gtest.h>

#include <random>

#include "platform/kivo_error.h"
#include "render/text/glyph_stream.h"
#include "render/text/markup_printer.h"

namespace kivo {
namespace {

// Pieces that meet the tokenizer's and the tag reader's corner cases when strung together.
const char* const kPieces[] = {
    "a", " ", "  ", "\t", "\x14", "\"", "\\", "\\\"", "\\<", "\\>", "\\n", "<", ">", "=", "'",
    "\x82\xA0", "\x83\x5C", "\xB1", "<B>", "</B>", "<I>", "</i>", "<U>", "</U>", "<S>", "</S>",
    "<FONT SIZE=20>", "<FONT COLOR=#FF0000 NAME=\"f g\">", "<FONT BORDER=x SHADOW=-2>", "</FONT>",
    "<NOBR>", "</NOBR>", "<RUBY VALUE=\"\x82\xA9\">", "</RUBY>", "<A HREF=\"x\\ny\">", "</A>",
    "<DIV ALIGN=RIGHT>", "<DIV>", "</DIV>", "<INDENT>", "<UNDENT>", "<BR>", "<BR CLEAR>", "<CLEAR>",
    "<EVENT VALUE=e END>", "<EVENT VALUE=\"\">", "<WAIT VALUE=-5>", "</WAIT>", "<VAR NAME=v>",
    "<HISTCHAR VALUE=h>", "<VAR NAME='\\\"s\\\" ++ v'>", "<IMG SRC=p ALIGN=TOP>", "<PRE>", "</PRE>", "<TEXTAREA>", "</TEXTAREA>",
    "<!--", "-->", "<SCRIPT>", "</SCRIPT>", "<>", "<X Y=1>", "{", "%"};

TEST(MarkupRandom, PrintedMarkupAlwaysCompilesToTheSameBytes) {
  std::mt19937 random(20261210);
  int printed = 0;
  const int runs = 3000;
  for (int run = 0; run < runs; ++run) {
    std::vector<std::string> lines(1 + random() % 3);
    for (std::string& line : lines)
      for (int n = random() % 12; n > 0; --n) line += kPieces[random() % std::size(kPieces)];
    TWdGlyphList list;
    try {
      CompileMarkup(lines, list);
    } catch (const EMarkupError&) {
      continue;
    }
    std::string bytes = SaveGlyphList(list);
    std::vector<std::string> markup;
    try {
      markup = PrintMarkup(list);
    } catch (const EKivoError&) {
      continue;
    }
    ++printed;
    std::string again = SaveGlyphList(CompileMarkup(markup));
    ASSERT_EQ(again, bytes) << "from: " << lines[0] << "\nprinted: " << markup[0];
  }
  EXPECT_GT(printed, runs / 2) << printed;
}

TEST(MarkupRandom, DamagedStreamsRaiseErrorsOrReadCleanly) {
  TWdGlyphList list = CompileMarkup({"<FONT SIZE=9>ab</FONT><A HREF=l>c<IMG SRC=s></A><VAR NAME=v><EVENT VALUE=e>"});
  std::mt19937 random(7);
  for (int version : {99, 101, 102}) {
    TExpressionHooks hooks;
    hooks.ToRunForm = [](const std::string&) { return std::string("\x01\0\0\0\x01\0\0\0\0\x01\0\0\0\x00\x01\0\0\0v", 19); };
    std::string bytes = SaveGlyphList(list, {version, true}, &hooks);
    for (int run = 0; run < 2000; ++run) {
      std::string damaged = bytes;
      for (int n = 1 + random() % 3; n > 0; --n) damaged[random() % damaged.size()] = static_cast<char>(random());
      TWdGlyphList read;
      try {
        LoadGlyphList(damaged, read);
      } catch (const EKivoError&) {
      }
    }
  }
}

}  // namespace
}  // namespace kivo
