// The lexical layer of the page text: tokens of a command line and the spelling of values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo::scenario {

// A token runs to the next blank outside quotes and brackets. "name=value" is a named token
// when name is an identifier and "=" is not followed by another "=".
struct TToken {
  size_t begin = 0, end = 0;  // byte offsets in the line
  bool named = false;
  std::string name;
  size_t valueBegin = 0;
};

struct TLexError {
  size_t position;
  std::string message;
};

// Raises TLexError on an unclosed string or bracket. NextToken gives the token at or after
// from, or one with begin == line.size() at the end.
TToken NextToken(const std::string& line, size_t from);
std::vector<TToken> Tokenize(const std::string& line, size_t from);

// The text of an expression value: "{...}" loses its braces, anything else stays as it is.
std::string ExprValueText(const std::string& value);
// A value for a string field: "..." with escapes, {...}, "@bytes:HEX" or a bare word. Raises
// TLexError (position relative to the value).
std::string StringValue(const std::string& value);
// The elements of "(a, b, ...)" split at top-level commas.
std::vector<std::string> ListValueTexts(const std::string& value);
bool ParseInt(const std::string& text, int32_t& value);

// Spellings the printer uses; each one reads back through the functions above to its input.
std::string SpellString(const std::string& utf8);  // a bare word when it can be, else quoted
std::string SpellBytes(const std::string& bytes);  // "@bytes:HEX"
std::string SpellExprValue(const std::string& text);  // bare when one token, else {text}
bool IsOneToken(const std::string& text);
std::string HexOf(const std::string& bytes);
// Bytes from hexadecimal digits; raises TLexError at offset + the position of a bad digit.
std::string DecodeHex(const std::string& digits, size_t offset);

// Columns count characters: UTF-8 continuation bytes do not start one.
int ColumnOf(const std::string& line, size_t position);

}  // namespace kivo::scenario
