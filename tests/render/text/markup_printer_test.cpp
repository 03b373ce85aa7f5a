// Printing glyph lists as markup: the printed text compiles back to identical bytes, or says why not.
#include "render/text/markup_printer.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "support/stream.h"

namespace kivo {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& line : lines) s += line + "|";
  return s;
}

// Every tag, nested styles, escapes, double-byte text and spaces that must not collapse.
const std::vector<std::string> kRichMarkup = {
    "<DIV ALIGN=CENTER>Title \"quoted\" \\\\ \\<b\\> 100% {x}<BR>",
    "<FONT SIZE=24 COLOR=#FF0000 BCOLOR=#000000 SCOLOR=#808080 NAME=\"\x82\x6C\x82\x72 Gothic\" BORDER=2 SHADOW=1>",
    "big<B>bold <I>both</B> italic</I><FONT SIZE=12>small</FONT></FONT><U>u</U><S>s</S>",
    "<NOBR><RUBY VALUE=\"\x82\xA9\x82\xC8\">\x89\xBC\x8E\x9A</RUBY></NOBR><BR CLEAR>",
    "<A HREF=\"page\\\\x\\nnext\">link<IMG SRC=\"icon.bmp\" ALIGN=CENTER></A><IMG SRC=p.bmp>",
    "<WAIT VALUE=-100>slow<VAR NAME=\"score + 1\"></WAIT><HISTCHAR VALUE=\"@name\"><CLEAR>",
    "<VAR NAME='\\\"Score: \\\" ++ IntToStr(s) ++ \\\"\\\\\\\"'><FONT NAME='a\\\"b'>x</FONT>",
    "<DIV ALIGN=RIGHT><INDENT>in<UNDENT></DIV></DIV><EVENT VALUE=\"a\\nb\" END><EVENT VALUE=\"\">",
    "a<B> </B> b\x14\x14" "c -->d<!-- gone --> e"};

TEST(PrintMarkup, CompilesBackToTheSameBytes) {
  TWdGlyphList list = CompileMarkup(kRichMarkup);
  std::string bytes = SaveGlyphList(list);
  std::vector<std::string> printed = PrintMarkup(list);
  EXPECT_EQ(SaveGlyphList(CompileMarkup(printed)), bytes) << Joined(printed);
  // Printing is stable: the printed form prints as itself.
  EXPECT_EQ(PrintMarkup(CompileMarkup(printed)), printed);
}

TEST(PrintMarkup, WritesPlainReadableMarkup) {
  TWdGlyphList list = CompileMarkup({"Hello <B>world</B>!<BR>", "<FONT COLOR=#00ff00>\"hi\"</FONT> a\\<b "});
  // No line ends with a space, which editors would strip.
  EXPECT_EQ(Joined(PrintMarkup(list)),
            "Hello <B>world</B>!<BR>|<FONT COLOR=#00FF00>\\\"hi\\\"</FONT> a\\<b <>|");
}

TEST(PrintMarkup, KeepsEveryPrintableByteAndRepeatedSpaces) {
  TWdGlyphList list;
  TDecorate* style = list.Styles().Acquire(TDecorate{});
  std::string text = "  x  ";
  for (int c = 0x21; c < 0x7F; ++c) text += static_cast<char>(c);
  text += "\x01\x7F\xA1\xDF \x82\xA0\xE0\x40";  // a control byte, half-width kana, double-byte
  for (size_t i = 0; i < text.size();) {
    auto glyph = std::make_unique<TWdChar>();
    bool pair = static_cast<uint8_t>(text[i]) >= 0x81 && static_cast<uint8_t>(text[i]) <= 0x9F;
    pair = pair || static_cast<uint8_t>(text[i]) >= 0xE0;
    glyph->Code = pair ? static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << 8 | static_cast<uint8_t>(text[i + 1]))
                       : static_cast<uint8_t>(text[i]);
    glyph->Wait = 50;
    glyph->Style = style;
    ++style->RefCount;
    list.Add(std::move(glyph));
    i += pair ? 2 : 1;
  }
  --style->RefCount;
  std::string bytes = SaveGlyphList(list);
  EXPECT_EQ(SaveGlyphList(CompileMarkup(PrintMarkup(list))), bytes) << Joined(PrintMarkup(list));
}

TEST(PrintMarkup, RefusesWhatMarkupCannotSay) {
  struct Case {
    const char* what;
    std::function<void(TWdGlyphList&, TDecorate&)> make;
  };
  const Case cases[] = {
      {"colour beyond RRGGBB", [](TWdGlyphList&, TDecorate& s) { s.Color = 0x01000000; }},
      {"outline width below -1", [](TWdGlyphList&, TDecorate& s) { s.BorderWidth = -2; }},
      {"flag bits above strike-out", [](TWdGlyphList&, TDecorate& s) { s.Flags = 0x10; }},
      {"quotes and brackets in a font name", [](TWdGlyphList&, TDecorate& s) { s.FontName = "a\"<b"; }},
      {"line end in a character", [](TWdGlyphList& l, TDecorate&) { static_cast<TWdChar&>(*l.At(0)).Code = '\r'; }},
      {"code with no lead byte", [](TWdGlyphList& l, TDecorate&) { static_cast<TWdChar&>(*l.At(0)).Code = 0x4142; }},
      {"line end as a trail byte", [](TWdGlyphList& l, TDecorate&) { static_cast<TWdChar&>(*l.At(0)).Code = 0x810A; }},
      {"line end in a link's pair", [](TWdGlyphList& l, TDecorate&) { static_cast<TWdChar&>(*l.At(0)).Link = "\x81\r"; }},
      {"alignment mark TOP", [](TWdGlyphList& l, TDecorate&) { l.Add(std::make_unique<TWdOpeAlign>())->Align = AL_TOP; }},
      {"image aligned LEFT", [](TWdGlyphList& l, TDecorate&) {
         auto* img = l.Add(std::make_unique<TWdImg>());
         img->Source = "a";
         img->Align = AL_LEFT;
       }},
      {"bare glyph", [](TWdGlyphList& l, TDecorate&) { l.Add(std::make_unique<TWdGlyph>()); }},
      {"compiled-only variable", [](TWdGlyphList& l, TDecorate& s) {
         auto* var = l.Add(std::make_unique<TWdOpeVar>());
         var->RunForm = std::string(4, '\0');
         var->Style = &s;
       }},
  };
  for (const Case& c : cases) {
    TWdGlyphList list = CompileMarkup({"x"});
    c.make(list, *list.Styles().At(0));
    EXPECT_THROW(PrintMarkup(list), EKivoError) << c.what;
  }
}

TEST(PrintGlyphListExactly, GivesMarkupOnlyWhenItReproducesTheBytes) {
  std::string bytes = SaveGlyphList(CompileMarkup(kRichMarkup));
  std::optional<TPrintedGlyphList> printed = PrintGlyphListExactly(bytes);
  ASSERT_TRUE(printed);
  EXPECT_EQ(printed->Format, (TGlyphListFormat{102, true}));
  EXPECT_EQ(SaveGlyphList(CompileMarkup(printed->Lines), printed->Format), bytes);

  // Under another default wait the printer names the stored waits.
  std::optional<TPrintedGlyphList> other = PrintGlyphListExactly(bytes, TMarkupOptions{40});
  ASSERT_TRUE(other);
  EXPECT_NE(Joined(other->Lines).find("<WAIT VALUE=50>"), std::string::npos);

  // A stored reference count that the markup would not give.
  TWdGlyphList odd = CompileMarkup({"ab"});
  odd.Styles().At(0)->RefCount = 7;
  EXPECT_FALSE(PrintGlyphListExactly(SaveGlyphList(odd)));
  // An unused style, and a list with bytes after it.
  TWdGlyphList unused = CompileMarkup({"ab"});
  unused.Styles().Append(TDecorate{});
  EXPECT_FALSE(PrintGlyphListExactly(SaveGlyphList(unused)));
  EXPECT_FALSE(PrintGlyphListExactly(bytes + "x"));
  // Malformed bytes are an error, not "not printable".
  EXPECT_THROW(PrintGlyphListExactly(bytes.substr(0, 20)), EKivoError);
}

TEST(PrintGlyphListExactly, OlderListsWithCompiledVariablesUseTheHooks) {
  TExpressionHooks hooks;
  hooks.ToRunForm = [](const std::string& text) {
    TMemoryStream s;
    TBinaryWriter w(s);
    w.Int32(1);
    w.Byte(1);
    w.String("____arg");
    w.Int32(1);
    w.Byte(0);
    w.String(text);
    return std::string(s.Bytes().begin(), s.Bytes().end());
  };
  hooks.ToText = [](const std::string& runForm) -> std::optional<std::string> {
    return runForm.substr(runForm.size() - 5);  // the 5-byte variable names of this test
  };
  std::string bytes = SaveGlyphList(CompileMarkup({"<VAR NAME=\"score\">"}), {101, true}, &hooks);
  EXPECT_FALSE(PrintGlyphListExactly(bytes));
  std::optional<TPrintedGlyphList> printed = PrintGlyphListExactly(bytes, {}, &hooks);
  ASSERT_TRUE(printed);
  EXPECT_EQ(Joined(printed->Lines), "<VAR NAME=\"score\">|");
  EXPECT_EQ(printed->Format.Version, 101);
}

}  // namespace
}  // namespace kivo
