// Tokens and value spellings of the page text.
#include "text_values.h"

#include <cstdio>

#include "values/value_convert.h"

namespace kivo::scenario {
namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }


// The end of the token starting at i; brackets and quotes must close inside the line.
size_t TokenEnd(const std::string& s, size_t i) {
  std::vector<std::pair<char, size_t>> open;  // the bracket and where it stands
  size_t quote = std::string::npos;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (quote != std::string::npos) {
      if (c == '\\') ++i;
      else if (c == '"') quote = std::string::npos;
      continue;
    }
    if (c == '"') quote = i;
    else if (c == '(' || c == '[' || c == '{') open.push_back({c, i});
    else if (c == ')' || c == ']' || c == '}') {
      char want = c == ')' ? '(' : c == ']' ? '[' : '{';
      if (open.empty() || open.back().first != want) throw TLexError{i, std::string("unmatched '") + c + "'"};
      open.pop_back();
    } else if (IsBlank(c) && open.empty()) {
      break;
    }
  }
  if (quote != std::string::npos) throw TLexError{quote, "the string is not closed"};
  if (!open.empty()) throw TLexError{open.back().second, std::string("'") + open.back().first + "' is not closed"};
  return i;
}

}  // namespace

TToken NextToken(const std::string& line, size_t from) {
  size_t i = from;
  while (i < line.size() && IsBlank(line[i])) ++i;
  TToken t;
  t.begin = t.end = i;
  if (i >= line.size()) return t;
  t.end = TokenEnd(line, i);
  size_t k = i;
  if (IsIdentStart(line[k])) {
    while (k < t.end && IsIdentChar(line[k])) ++k;
    if (k < t.end && line[k] == '=' && (k + 1 >= t.end || line[k + 1] != '=')) {
      t.named = true;
      t.name = line.substr(i, k - i);
      t.valueBegin = k + 1;
    }
  }
  return t;
}

std::vector<TToken> Tokenize(const std::string& line, size_t from) {
  std::vector<TToken> tokens;
  for (TToken t = NextToken(line, from); t.begin < line.size(); t = NextToken(line, t.end)) tokens.push_back(t);
  return tokens;
}

std::string ExprValueText(const std::string& value) {
  if (value.size() >= 2 && value.front() == '{' && value.back() == '}') {
    try {
      if (TokenEnd(value, 0) == value.size()) return value.substr(1, value.size() - 2);
    } catch (const TLexError&) {
    }
  }
  return value;
}

std::string StringValue(const std::string& value) {
  if (value.starts_with("@bytes:")) return DecodeHex(value.substr(7), 7);
  if (value.size() >= 2 && value.front() == '{' && value.back() == '}') return value.substr(1, value.size() - 2);
  if (value.empty() || value.front() != '"') return value;
  std::string out;
  size_t i = 1;
  for (; i < value.size() && value[i] != '"'; ++i) {
    if (value[i] != '\\') {
      out += value[i];
      continue;
    }
    if (++i >= value.size()) break;
    switch (value[i]) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (i + 2 >= value.size()) throw TLexError{i, "\\x needs two hexadecimal digits"};
        out += DecodeHex(value.substr(i + 1, 2), i + 1);
        i += 2;
        break;
      }
      default: out += value[i]; break;
    }
  }
  if (i + 1 != value.size()) throw TLexError{i + 1, "text after the closing quote"};
  return out;
}

std::vector<std::string> ListValueTexts(const std::string& value) {
  if (value.size() < 2 || value.front() != '(' || value.back() != ')')
    throw TLexError{0, "a list is written in brackets: (a, b, ...)"};
  std::string inner = value.substr(1, value.size() - 2);
  std::vector<std::string> items;
  if (inner.find_first_not_of(" \t") == std::string::npos) return items;
  int depth = 0;
  bool quoted = false;
  size_t from = 0;
  for (size_t i = 0; i <= inner.size(); ++i) {
    char c = i < inner.size() ? inner[i] : ',';
    if (quoted) {
      if (c == '\\') ++i;
      else if (c == '"') quoted = false;
      continue;
    }
    if (c == '"') quoted = true;
    else if (c == '(' || c == '[' || c == '{') ++depth;
    else if (c == ')' || c == ']' || c == '}') --depth;
    else if (c == ',' && depth == 0) {
      std::string item = inner.substr(from, i - from);
      size_t a = item.find_first_not_of(" \t");
      item = a == std::string::npos ? "" : item.substr(a, item.find_last_not_of(" \t") + 1 - a);
      items.push_back(ExprValueText(item));
      from = i + 1;
    }
  }
  return items;
}

bool ParseInt(const std::string& text, int32_t& value) {
  if (text.empty()) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (text[0] == '-') v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = static_cast<int32_t>(v);
  return true;
}

std::string DecodeHex(const std::string& digits, size_t offset) {
  if (digits.size() % 2) throw TLexError{offset, "hexadecimal bytes need an even number of digits"};
  std::string out;
  for (size_t i = 0; i < digits.size(); i += 2) {
    int h = HexDigit(digits[i]), l = HexDigit(digits[i + 1]);
    if (h < 0 || l < 0) throw TLexError{offset + i, "not a hexadecimal digit"};
    out += static_cast<char>(h * 16 + l);
  }
  return out;
}

std::string HexOf(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string SpellBytes(const std::string& bytes) { return "@bytes:" + HexOf(bytes); }

std::string SpellString(const std::string& s) {
  bool bare = !s.empty() && s.front() != '"' && s.front() != '{' && !s.starts_with("@bytes:");
  for (char c : s)
    if (IsBlank(c) || c == '"' || c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}' ||
        static_cast<unsigned char>(c) < 0x20)
      bare = false;
  if (bare) return s;
  std::string out = "\"";
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u == 0x7f) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", u);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

bool IsOneToken(const std::string& text) {
  if (text.empty() || IsBlank(text.front())) return false;
  try {
    return TokenEnd(text, 0) == text.size();
  } catch (const TLexError&) {
    return false;
  }
}

std::string SpellExprValue(const std::string& text) {
  if (IsOneToken(text) && text.front() != '{') return text;
  return "{" + text + "}";
}

int ColumnOf(const std::string& line, size_t position) {
  int column = 1;
  for (size_t i = 0; i < position && i < line.size(); ++i)
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  return column;
}

}  // namespace kivo::scenario
