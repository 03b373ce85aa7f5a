// Variable insertions of older glyph lists, compiled by the expression compiler and read back.
#include "render/text/expression_hooks.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "render/text/glyph_stream.h"
#include "render/text/markup_compiler.h"
#include "values/expr/kivo_parser.h"

namespace kivo {
namespace {

TEST(CompilerExpressionHooks, OlderListsStoreWhatTheExpressionLoaderReads) {
  TExpressionHooks hooks = CompilerExpressionHooks();
  TWdGlyphList list = CompileMarkup({"<VAR NAME=' IntToStr(a + 1) ++ \\\"x\\\" '>b<VAR NAME=\"s[1, 2]\">"});
  std::string bytes = SaveGlyphList(list, {101, true}, &hooks);
  TWdGlyphList read;
  LoadGlyphList(bytes, read);
  ASSERT_EQ(read.Count(), 3);
  for (int i : {0, 2}) {
    const std::string& runForm = dynamic_cast<TWdOpeVar&>(*read.At(i)).RunForm;
    ASSERT_FALSE(runForm.empty());
    // The reader's walk over a compiled expression takes exactly the bytes the loader consumes.
    TMemoryStream stream(std::vector<uint8_t>(runForm.begin(), runForm.end()));
    TKivoParser parser;
    parser.LoadRunForm(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_FALSE(parser.Empty());
  }
  EXPECT_EQ(SaveGlyphList(read, {101, true}), bytes);
}

TEST(CompilerExpressionHooks, MalformedTextIsTheCompilersError) {
  TExpressionHooks hooks = CompilerExpressionHooks();
  TWdGlyphList list = CompileMarkup({"<VAR NAME=\"(a\">"});
  EXPECT_THROW(SaveGlyphList(list, {100, true}, &hooks), EKivoError);
  EXPECT_NO_THROW(SaveGlyphList(list));  // the newest layout stores the text as it is
}

}  // namespace
}  // namespace kivo
