// Integer and float text conversions of the value system, independent of the process locale.
#include "values/value_convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kivo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  uint64_t magnitude = 0;
  if (text[i] == '$') {
    if (++i >= text.size()) return false;
    for (; i < text.size(); ++i) {
      int d = HexDigit(text[i]);
      if (d < 0) return false;
      magnitude = magnitude * 16 + static_cast<uint64_t>(d);
      if (magnitude > 0xFFFFFFFFull) return false;
    }
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
  }
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
    if (magnitude > 2147483648ull) return false;
  }
  if (!negative && magnitude > 2147483647ull) return false;
  value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
  return true;
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  int32_t value;
  return TryStrToInt(text, value) ? value : fallback;
}

bool TryStrToFloat(std::string_view text, Extended& value) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  // Check the shape first: from_chars alone would take "inf", "nan" and a leading "+" differently.
  size_t i = begin;
  if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < end && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < end && text[i] == '.') {
    ++i;
    while (i < end && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != end) return false;
  std::string plain(text.substr(begin, end - begin));
  if (!plain.empty() && plain[0] == '+') plain.erase(0, 1);
  long double parsed = 0;
  auto result = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
  if (result.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is not a number the player could hold. Tell them apart
    // by the decimal magnitude: the place of the first significant digit plus the exponent.
    long magnitude = 0;
    size_t point = plain.find('.');
    size_t mantissaEnd = plain.find_first_of("eE");
    if (mantissaEnd == std::string::npos) mantissaEnd = plain.size();
    if (point == std::string::npos || point > mantissaEnd) point = mantissaEnd;
    size_t first = plain.find_first_of("123456789");
    if (first < mantissaEnd) magnitude = first < point ? static_cast<long>(point - first) : -static_cast<long>(first - point - 1);
    if (mantissaEnd < plain.size()) magnitude += std::strtol(plain.c_str() + mantissaEnd + 1, nullptr, 10);
    if (magnitude > 0) return false;
    parsed = 0;
  } else if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) {
    return false;
  }
  value = parsed;
  return true;
}

Extended StrToFloatDef(std::string_view text, Extended fallback) {
  Extended value;
  return TryStrToFloat(text, value) ? value : fallback;
}

std::string FloatToStr(Extended value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // 15 significant digits in scientific form, then laid out the general way.
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long double>(value), std::chars_format::scientific, 14);
  std::string sci(buffer, result.ptr);
  bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  size_t e = sci.find('e');
  int exponent = std::atoi(sci.c_str() + e + 1);
  std::string digits;
  for (size_t i = 0; i < e; ++i) {
    if (sci[i] != '.') digits += sci[i];
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int pointPos = exponent + 1;  // digits before the decimal point
  std::string out = negative ? "-" : "";
  if (pointPos > 15 || pointPos < -3) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (pointPos <= 0) {
    out += "0." + std::string(static_cast<size_t>(-pointPos), '0') + digits;
  } else if (static_cast<size_t>(pointPos) >= digits.size()) {
    out += digits + std::string(static_cast<size_t>(pointPos) - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(pointPos)) + "." + digits.substr(static_cast<size_t>(pointPos));
  }
  return out;
}

std::string IntToStr(int32_t value) { return std::to_string(value); }

int32_t TruncToInt(Extended value) {
  if (!(value > -9223372036854775808.0L && value < 9223372036854775808.0L)) return 0;
  auto wide = static_cast<int64_t>(value);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(wide)));
}

}  // namespace kivo
