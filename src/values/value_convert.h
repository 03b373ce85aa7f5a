// Conversions between the element kinds of the value system: integer and float text, truncation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/extended.h"

namespace kivo {

// Optional blanks and sign, then decimal digits or "$" and hex digits, nothing after; the value
// must fit 32 bits ("$" values wrap like the original, so "$FFFFFFFF" is -1).
bool TryStrToInt(std::string_view text, int32_t& value);
// The value of one hexadecimal digit (either case), -1 for any other character.
int HexDigit(char c);
int32_t StrToIntDef(std::string_view text, int32_t fallback);

// Decimal float text with "." as the separator whatever the process locale, so a game reads the
// same numbers everywhere; optional exponent; surrounding blanks allowed.
bool TryStrToFloat(std::string_view text, Extended& value);
Extended StrToFloatDef(std::string_view text, Extended fallback);

// General format: the shortest form with up to 15 significant digits, exponent form ("1E15",
// "1.5E-5") when the decimal exponent is above 15 or below -3.
std::string FloatToStr(Extended value);

std::string IntToStr(int32_t value);

// Truncation toward zero into 32 bits; beyond the 64-bit range (and NaN) the x87 "indefinite"
// answer, whose low 32 bits are 0.
int32_t TruncToInt(Extended value);

inline const char* BoolToStr(bool value) { return value ? "TRUE" : "FALSE"; }
// Only the exact text "TRUE" is true.
inline bool StrToBool(std::string_view text) { return text == "TRUE"; }

}  // namespace kivo
