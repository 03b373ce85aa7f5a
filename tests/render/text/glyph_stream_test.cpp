// Glyph-list streams: the byte layout, round trips at every version, appending, hostile bytes.
#include "render/text/glyph_stream.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "render/text/markup_compiler.h"
#include "support/stream.h"

namespace kivo {
namespace {

class TBytes {
public:
  TBytes& Text(const std::string& s) { w_.FixedText(s); return *this; }
  TBytes& B(uint8_t v) { w_.Byte(v); return *this; }
  TBytes& I16(int16_t v) { w_.Int16(v); return *this; }
  TBytes& I32(int32_t v) { w_.Int32(v); return *this; }
  TBytes& Str(const std::string& s) { w_.String(s); return *this; }
  std::string Get() const { return std::string(stream_.Bytes().begin(), stream_.Bytes().end()); }

private:
  TMemoryStream stream_;
  TBinaryWriter w_{stream_};
};

// A style record of the newer layout: count, colour, outline colour, size, flags, no-break, outline
// width, font, ruby, shadow offset, shadow colour.
TBytes& Style102(TBytes& b, int32_t refs, int32_t color, int32_t size, uint8_t flags, const std::string& ruby) {
  return b.I32(refs).I32(color).I32(-1).I32(size).B(flags).B(0).I32(2).Str("Font").Str(ruby).I32(-1).I32(0x123456);
}

std::string Fixture102() {
  TBytes b;
  b.Text("TpWord102").I32(2);
  Style102(b, 1, 0xFF, 20, FS_BOLD, "");
  Style102(b, 2, -1, 0, 0, "\x82\xA9");
  b.I32(10);
  b.B(GK_CHAR).Str("lnk").I32(50).I16(static_cast<int16_t>(0x82A0)).I32(1);
  b.B(GK_CHAR).Str("").I32(-100).I16('x').I32(0);
  b.B(GK_ALIGN).B(AL_CENTER);
  b.B(GK_RETURN).B(1);
  b.B(GK_INDENT).B(GK_UNDENT);
  b.B(GK_EVENT).Str("\x01" "done");
  b.B(GK_VAR).I32(1).I32(30).Str("v").Str(" a + 1 ");
  b.B(GK_IMG).Str("").I32(5).Str("face.bmp").B(AL_TOP);
  b.B(GK_HISTCHAR).I32(0).I32(0).Str("").Str("h");
  return b.Get();
}

TEST(GlyphStream, ReadsEveryRecordOfTheNewestLayoutAndWritesTheSameBytes) {
  std::string bytes = Fixture102();
  TWdGlyphList list;
  EXPECT_EQ(LoadGlyphList(bytes, list), (TGlyphListFormat{102, true}));
  ASSERT_EQ(list.Styles().Count(), 2);
  const TDecorate& s1 = *list.Styles().At(1);
  EXPECT_EQ(s1.RefCount, 2);
  EXPECT_EQ(s1.Ruby, "\x82\xA9");
  EXPECT_EQ(s1.FontName, "Font");
  EXPECT_EQ(s1.BorderWidth, 2);
  EXPECT_EQ(s1.ShadowColor, 0x123456);
  ASSERT_EQ(list.Count(), 10);
  auto& c0 = dynamic_cast<TWdChar&>(*list.At(0));
  EXPECT_EQ(c0.Code, 0x82A0);
  EXPECT_EQ(c0.Link, "lnk");
  EXPECT_EQ(c0.Style, &s1);
  EXPECT_EQ(dynamic_cast<TWdChar&>(*list.At(1)).Wait, -100);
  EXPECT_EQ(dynamic_cast<TWdOpeAlign&>(*list.At(2)).Align, AL_CENTER);
  EXPECT_EQ(dynamic_cast<TWdOpeReturn&>(*list.At(3)).Clear, 1);
  auto& event = dynamic_cast<TWdOpeEvent&>(*list.At(6));
  EXPECT_TRUE(event.End);
  EXPECT_EQ(event.Value, "done");
  auto& var = dynamic_cast<TWdOpeVar&>(*list.At(7));
  EXPECT_EQ(var.Wait, 30);
  EXPECT_EQ(var.Link, "v");
  EXPECT_EQ(var.Text, " a + 1 ");  // kept as stored, so the list is written back unchanged
  EXPECT_EQ(var.ExpressionText(), "a + 1");
  auto& img = dynamic_cast<TWdImg&>(*list.At(8));
  EXPECT_EQ(img.Source, "face.bmp");
  EXPECT_EQ(img.Align, AL_TOP);
  EXPECT_EQ(img.Wait, 5);
  EXPECT_EQ(list.At(9)->GlyphKind(), GK_HISTCHAR);
  EXPECT_EQ(SaveGlyphList(list, {102, true}), bytes);
}

// A compiled expression in the run form: operation count, then type, destination, operand count,
// (function number) and typed operands.
std::string RunForm() {
  TBytes b;
  b.I32(2);
  b.B(11).Str("____0").I32(1).B(7).B(1).I32(5);                  // a function call with one integer
  b.B(1).Str("____arg").I32(4).B(0).Str("____0").B(2).Text(std::string(10, '\0')).B(3).B(1).B(4).Str("s");
  return b.Get();
}

TEST(GlyphStream, OlderLayoutsReadTheirOwnFields) {
  // Version 99: a one-byte outline flag, no shadow fields; a variable insertion holds only its
  // compiled expression.
  TBytes old;
  old.Text("TpWord099").I32(1).I32(1).I32(-1).I32(-1).I32(0).B(0).B(1).B(7).Str("").Str("").I32(1);
  old.B(GK_VAR).I32(0).Text(RunForm());
  TWdGlyphList list;
  EXPECT_EQ(LoadGlyphList(old.Get(), list).Version, 99);
  const TDecorate& s = *list.Styles().At(0);
  EXPECT_EQ(s.BorderWidth, 1);  // any non-zero byte is "outlined"
  EXPECT_EQ(s.ShadowOffset, -1);
  EXPECT_EQ(s.ShadowColor, -1);
  auto& var = dynamic_cast<TWdOpeVar&>(*list.At(0));
  EXPECT_EQ(var.RunForm, RunForm());
  EXPECT_EQ(var.Text, "");

  // No header at all: version 0, the reader starts over at the first byte.
  TBytes bare;
  bare.I32(0).I32(2).B(GK_INDENT).B(GK_UNDENT);
  TWdGlyphList bareList;
  EXPECT_EQ(LoadGlyphList(bare.Get(), bareList), (TGlyphListFormat{0, false}));
  EXPECT_EQ(bareList.Count(), 2);
  EXPECT_EQ(SaveGlyphList(bareList, {0, false}), bare.Get());
}

TEST(GlyphStream, CompiledMarkupRoundTripsAtEveryVersion) {
  const std::vector<std::string> markup = {
      "<FONT SIZE=18 COLOR=#102030 BORDER=2 SHADOW=1 SCOLOR=#FFFFFF>a<B>b</B></FONT><RUBY VALUE=r>\x8A\xBF</RUBY>",
      "<A HREF=x><WAIT VALUE=9>c<IMG SRC=i.bmp></WAIT></A><DIV ALIGN=RIGHT><BR CLEAR><EVENT VALUE=e END>"};
  TWdGlyphList compiled = CompileMarkup(markup);
  const TGlyphListFormat formats[] = {{0, false}, {99, true}, {100, true}, {101, true}, {102, true}, {110, true}};
  for (const TGlyphListFormat& format : formats) {
    std::string bytes = SaveGlyphList(compiled, format);
    TWdGlyphList read;
    EXPECT_EQ(LoadGlyphList(bytes, read), format) << format.Version;
    EXPECT_EQ(SaveGlyphList(read, format), bytes) << format.Version;
    EXPECT_EQ(read.Text(), compiled.Text());
    EXPECT_EQ(read.Styles().At(0)->ShadowOffset, format.Version >= 100 ? 1 : -1) << format.Version;
    auto& img = dynamic_cast<TWdImg&>(*read.At(4));
    EXPECT_EQ(img.Wait, 9);
  }
}

TEST(GlyphStream, VariableInsertionsBelowTheTextVersionNeedTheirCompiledForm) {
  TWdGlyphList list = CompileMarkup({"<A HREF=l><VAR NAME=\"x\"></A>"});
  EXPECT_THROW(SaveGlyphList(list, {101, true}), EKivoError);
  TExpressionHooks hooks;
  hooks.ToRunForm = [](const std::string& text) { return text == "x" ? RunForm() : std::string(); };
  for (int version : {100, 101}) {
    std::string bytes = SaveGlyphList(list, {version, true}, &hooks);
    TWdGlyphList read;
    LoadGlyphList(bytes, read);
    auto& var = dynamic_cast<TWdOpeVar&>(*read.At(0));
    EXPECT_EQ(var.RunForm, RunForm());
    EXPECT_EQ(var.Link, version > 100 ? "l" : "");  // wait and link come above version 100
    EXPECT_EQ(SaveGlyphList(read, {version, true}), bytes);
  }
}

TEST(GlyphStream, LoadingAppendsWithStyleIndexesOfItsOwnList) {
  TWdGlyphList list = CompileMarkup({"<B>a</B>b"});
  std::string second = SaveGlyphList(CompileMarkup({"<I>c"}));
  LoadGlyphList(second, list);
  ASSERT_EQ(list.Styles().Count(), 3);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(dynamic_cast<TWdChar&>(*list.At(2)).Style, list.Styles().At(2));
  EXPECT_EQ(list.Text(), "abc");
}

TEST(GlyphStream, ListsOfTheSmallestStylesAreRead) {
  // Style records of empty strings only, and no glyphs: the count check must not refuse them.
  for (TGlyphListFormat format : {TGlyphListFormat{102, true}, TGlyphListFormat{99, true}}) {
    TWdGlyphList list;
    for (int i = 0; i < 3; ++i) list.Styles().Append(TDecorate{});
    std::string bytes = SaveGlyphList(list, format);
    TWdGlyphList read;
    LoadGlyphList(bytes, read);
    EXPECT_EQ(read.Styles().Count(), 3) << format.Version;
  }
}

TEST(GlyphStream, KindsThatMakeNothingAreSkipped) {
  TBytes b;
  b.Text("TpWord102").I32(0).I32(3).B(GK_NONE).B(GK_SKIPPED).B(GK_INDENT);
  TWdGlyphList list;
  LoadGlyphList(b.Get(), list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.At(0)->GlyphKind(), GK_INDENT);
}

TEST(GlyphStream, HostileBytesRaiseErrorsAndLeaveTheListAlone) {
  std::string valid = Fixture102();
  std::vector<std::string> hostile;
  for (size_t n = 0; n < valid.size(); ++n) hostile.push_back(valid.substr(0, n));  // every truncation
  auto after = [](TBytes& b) { return b.Get(); };
  TBytes hugeStyles, negativeGlyphs, badStyle, negativeStyle, badKind, longString, hugeRunForm, hugeOperands;
  hugeStyles.Text("TpWord102").I32(0x7FFFFFFF);
  negativeGlyphs.Text("TpWord102").I32(0).I32(-1);
  badStyle.Text("TpWord102").I32(0).I32(1).B(GK_CHAR).Str("").I32(0).I16(65).I32(0);
  negativeStyle.Text("TpWord102").I32(0).I32(1).B(GK_VAR).I32(-1).I32(0).Str("").Str("");
  badKind.Text("TpWord102").I32(0).I32(1).B(11);
  longString.Text("TpWord102").I32(0).I32(1).B(GK_EVENT).I32(1 << 30).Text("abc");
  hugeRunForm.Text("TpWord101").I32(0).I32(1).B(GK_VAR).I32(0).I32(0).Str("").I32(0x10000000);
  hugeOperands.Text("TpWord101").I32(0).I32(1).B(GK_VAR).I32(0).I32(0).Str("").I32(1).B(1).Str("d").I32(99999);
  for (TBytes* b : {&hugeStyles, &negativeGlyphs, &badStyle, &negativeStyle, &badKind, &longString, &hugeRunForm, &hugeOperands})
    hostile.push_back(after(*b));
  for (const std::string& bytes : hostile) {
    TWdGlyphList list = CompileMarkup({"keep"});
    EXPECT_THROW(LoadGlyphList(bytes, list), EKivoError) << bytes.size();
    EXPECT_EQ(list.Text(), "keep");
    EXPECT_EQ(list.Styles().Count(), 1);
  }
}

TEST(GlyphStream, ErrorsSayWhereTheyHappened) {
  TBytes b;
  b.Text("TpWord102").I32(0).I32(1).B(GK_CHAR).Str("").I32(0).I16(65).I32(3);
  TWdGlyphList list;
  try {
    LoadGlyphList(b.Get(), list);
    FAIL();
  } catch (const EKivoError& e) {
    EXPECT_STREQ(e.what(), "glyph list: style index 3 outside the 0 styles of the list (at byte 32)");
  }
}

TEST(GlyphStream, FormatsOutsideTheHeaderAreRefused) {
  TWdGlyphList list;
  EXPECT_THROW(SaveGlyphList(list, {1000, true}), EKivoError);
  EXPECT_THROW(SaveGlyphList(list, {102, false}), EKivoError);
  EXPECT_EQ(SaveGlyphList(list, {7, true}), std::string("TpWord007") + std::string(8, '\0'));
}

}  // namespace
}  // namespace kivo
