// Splitting markup into text and tag tokens: quotes, comments, PRE and TEXTAREA, escapes, spaces.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

struct TMarkupToken {
  std::string Text;
  size_t Offset = 0;  // byte offset in the joined text where the token starts
};

// A double-quoted run in text (outside tags): inside it "<" and ">" are text and line ends vanish,
// which authors rarely mean. Kept for warnings.
struct TQuotedRun {
  size_t Offset = 0;  // of the opening quote
  bool Closed = false;
  bool HasBracket = false;  // a "<" or ">" inside
};

// Joins the markup lines with a single CR between them, as the markup is read.
std::string JoinMarkupLines(const std::vector<std::string>& lines);

// Splits the joined text into tokens: each tag "<...>" is one token, comments and script and
// style blocks stay whole, and text between them is one token with spaces and line ends
// collapsed.
std::vector<TMarkupToken> TokenizeMarkup(std::string_view text, std::vector<TQuotedRun>* quotedRuns = nullptr);

}  // namespace kivo
