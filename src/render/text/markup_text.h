// Small text rules of the markup: trimming, integer and colour attributes, escapes in values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// Removes spaces and control bytes (<= 0x20) at both ends; double-byte characters are never cut.
std::string TrimMarkup(std::string_view s);
// True when s begins with prefix, ASCII letters compared ignoring case.
bool StartsWithNoCase(std::string_view s, std::string_view prefix);

// An integer attribute: optional sign, then decimal digits or "$" and hexadecimal digits,
// within 32 bits; anything else gives no value.
std::optional<int32_t> ParseMarkupInt(std::string_view s);
// "#RRGGBB" as a colour with red in the low byte; anything else gives no value.
std::optional<int32_t> ParseMarkupColor(std::string_view s);
std::string FormatMarkupColor(int32_t color);

// Escapes of link and event values: a backslash before a double quote or a backslash is dropped
// (the next character is kept), a backslash before "n" becomes CR LF; other backslashes stay.
std::string DecodeValueEscapes(std::string_view s);
// The inverse: the value that decodes to s, or none when s cannot be written that way.
std::optional<std::string> EncodeValueEscapes(std::string_view s);

}  // namespace kivo
