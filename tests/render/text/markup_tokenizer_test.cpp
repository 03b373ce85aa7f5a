// The markup tokenizer: space and line-end collapsing, quotes, escapes, comments, PRE and TEXTAREA.
#include "render/text/markup_tokenizer.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

std::vector<std::string> Texts(std::string_view markup) {
  std::vector<std::string> texts;
  for (const TMarkupToken& t : TokenizeMarkup(markup)) texts.push_back(t.Text);
  return texts;
}

TEST(TokenizeMarkup, SplitsAndCollapsesAsTheMarkupIsRead) {
  struct Case {
    const char* markup;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {"a  b \r  c", {"a b c"}},                                 // spaces and line ends collapse
      {"a\r\rb", {"a b"}},                                       // an empty line too
      {"\r\ra", {"a"}},                                          // line ends before any text vanish
      {"a\tb", {"ab"}},                                          // a tab outside PRE is dropped
      {"a<B>b</B> c", {"a", "<B>", "b", "</B>", " c"}},          // a space after a tag is kept
      {"<FONT\r  SIZE=3>", {"<FONT SIZE=3>"}},                   // a tag spans lines
      {"<A HREF=\"x>  y\">t", {"<A HREF=\"x>  y\">", "t"}},      // quotes protect ">" and spaces
      {"say \"<B>\" ok", {"say \"<B>\" ok"}},                     // ... in text as well
      {"a\\<b\\>c", {"a<", "b>", "c"}},                           // escaped brackets end the token
      {"\\\"x\\\\y\\q\\%", {"\"x\\yq%"}},                         // other escapes; \q loses its backslash
      {"a<!-- <B> -->b", {"a", "<!-- <B> -->", "b"}},             // a comment stays whole
      {"<!-- a <!-- b --> c -->d", {"<!-- a <!-- b --> c -->", "d"}},  // comments nest
      {"x<script>if(a<b)</script>y", {"x", "<script>if(a<b)</script>", "y"}},
      {"a\x14\x14" "b", {"a b"}},                                 // 0x14 is a space
      {"\x82\xA0\x82<", {"\x82\xA0\x82<"}},                       // "<" as a trail byte is no tag
  };
  for (const Case& c : cases) EXPECT_EQ(Texts(c.markup), c.tokens) << c.markup;
}

TEST(TokenizeMarkup, PreKeepsLineEndsAsBreaksAndTabsAsSpaces) {
  EXPECT_EQ(Texts("<PRE>\ra\tb\rc\r</PRE>d"),
            (std::vector<std::string>{"<PRE>", "a        b", "<BR>", "c", "</PRE>", "d"}));
  // TEXTAREA keeps line ends as token ends, without breaks.
  EXPECT_EQ(Texts("<TEXTAREA>\ra\rb</TEXTAREA>"),
            (std::vector<std::string>{"<TEXTAREA>", "a", "b", "</TEXTAREA>"}));
}

TEST(TokenizeMarkup, TokensRememberWhereTheyStart) {
  std::vector<TMarkupToken> tokens = TokenizeMarkup("ab<B>\r cd");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0].Offset, 0u);
  EXPECT_EQ(tokens[1].Offset, 2u);
  EXPECT_EQ(tokens[2].Offset, 6u);
}

}  // namespace
}  // namespace kivo
