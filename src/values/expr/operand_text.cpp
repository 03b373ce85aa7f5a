// Operand texts to typed constants: the literal rules of the run-form conversion.
#include "values/expr/operand_text.h"

#include <cstdlib>

namespace kivo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseIntLiteral(std::string_view s, int32_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i >= s.size()) return false;
  uint64_t v = 0;
  if (s[i] == '$') {
    // Hexadecimal covers the full 32 bits: $FFFFFFFF is -1.
    if (++i >= s.size()) return false;
    for (; i < s.size(); ++i) {
      int d = HexDigit(s[i]);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFull) return false;
    }
    uint32_t u = static_cast<uint32_t>(v);
    value = static_cast<int32_t>(negative ? 0u - u : u);
    return true;
  }
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
    v = v * 10 + static_cast<uint64_t>(s[i] - '0');
    if (v > 0x80000000ull) return false;
  }
  if (!negative && v > 0x7FFFFFFFull) return false;
  value = static_cast<int32_t>(negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
  return true;
}

bool ParseFloatLiteral(std::string_view s, Extended& value) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  std::string copy(s);  // strtold needs a terminator; the grammar above keeps it locale-neutral
  value = std::strtold(copy.c_str(), nullptr);
  return true;
}

TOperandConst ClassifyOperandText(const std::string& text) {
  TOperandConst c;
  if (ParseIntLiteral(text, c.Int)) {
    c.Kind = okInt;
  } else if (ParseFloatLiteral(text, c.Float)) {
    c.Kind = okFloat;
  } else if (text == "TRUE" || text == "FALSE") {
    c.Kind = okBool;
    c.Bool = text == "TRUE";
  } else if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    c.Kind = okString;
    c.Text = text.substr(1, text.size() - 2);
  } else {
    c.Kind = okVariable;
    c.Text = text;
  }
  return c;
}

void WriteOperandText(TBinaryWriter& w, const std::string& text) {
  TOperandConst c = ClassifyOperandText(text);
  w.Byte(c.Kind);
  switch (c.Kind) {
    case okInt: w.Int32(c.Int); break;
    case okFloat: w.ExtendedValue(c.Float); break;
    case okBool: w.Bool(c.Bool); break;
    default: w.String(c.Text); break;
  }
}

}  // namespace kivo
