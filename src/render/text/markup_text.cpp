// Markup text rules shared by the tag reader, the glyph builder and the printer.
#include "render/text/markup_text.h"

#include <cstdint>

#include "support/sjis.h"
#include "values/value_convert.h"

namespace kivo {

std::string TrimMarkup(std::string_view s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && static_cast<uint8_t>(s[begin]) <= 0x20) ++begin;
  // A trail byte may be <= 0x20 only after a lead byte, which is never trimmed from the end, so
  // check that the byte to cut is not the second half of a pair.
  while (end > begin && static_cast<uint8_t>(s[end - 1]) <= 0x20 &&
         !IsTrailByteAt(s.substr(begin, end - begin), end - 1 - begin))
    --end;
  return std::string(s.substr(begin, end - begin));
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (AsciiUpper(s[i]) != AsciiUpper(prefix[i])) return false;
  return true;
}

std::optional<int32_t> ParseMarkupInt(std::string_view s) {
  // The same integer literals as in expressions.
  int32_t value = 0;
  if (!TryStrToInt(s, value)) return std::nullopt;
  return value;
}

std::optional<int32_t> ParseMarkupColor(std::string_view s) {
  if (s.size() < 7 || s[0] != '#') return std::nullopt;
  int channel[3];
  for (int k = 0; k < 3; ++k) {
    int hi = HexDigit(s[1 + 2 * k]);
    int lo = HexDigit(s[2 + 2 * k]);
    if (hi < 0 || lo < 0) return std::nullopt;
    channel[k] = hi * 16 + lo;
  }
  return channel[0] | (channel[1] << 8) | (channel[2] << 16);
}

std::string FormatMarkupColor(int32_t color) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "#";
  for (int k = 0; k < 3; ++k) {
    int channel = (color >> (8 * k)) & 0xFF;
    out += kHex[channel >> 4];
    out += kHex[channel & 15];
  }
  return out;
}

std::string DecodeValueEscapes(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (n == 1 && s[i] == '\\' && i + 1 < s.size()) {
      char next = s[i + 1];
      if (next == '"' || next == '\\') {
        out += next;
        i += 2;
        continue;
      }
      if (next == 'n') {
        out += "\r\n";
        i += 2;
        continue;
      }
    }
    out.append(s.substr(i, n));
    i += n;
  }
  return out;
}

std::optional<std::string> EncodeValueEscapes(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (n == 1) {
      char c = s[i];
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
        out += "\\n";
        i += 2;
        continue;
      }
      // A quote would end the quoted value; lone line ends and tabs do not survive reading.
      if (c == '"' || c == '\r' || c == '\n' || c == '\t') return std::nullopt;
      if (c == '\\') out += '\\';
    }
    out.append(s.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace kivo
