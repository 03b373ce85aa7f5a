// Shift-JIS (CP932) character rules: lead bytes, case folding, comparison and the J* string routines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kivo {

// A lead byte opens a double-byte character: 0x81-0x9F or 0xE0-0xFC.
constexpr bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsLeadByte(char c) { return IsLeadByte(static_cast<uint8_t>(c)); }

// Byte length of the character starting at byte offset i (0-based): 2 for a lead byte with a
// byte after it, else 1. A lead byte at the very end counts as a character of its own.
inline size_t SjisCharLength(std::string_view s, size_t i) {
  return IsLeadByte(s[i]) && i + 1 < s.size() ? 2 : 1;
}

// The case rule of code page 932 used for every name comparison: only single-byte ASCII letters
// fold; the bytes of a double-byte character (whose trail byte may look like a letter, as in
// 0x83 0x41) are never touched.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
std::string SjisLowerCase(std::string_view s);
std::string SjisUpperCase(std::string_view s);
// Case-insensitive equality and ordering (by the lower-cased bytes) of Shift-JIS text.
bool SjisSameText(std::string_view a, std::string_view b);
int SjisCompareText(std::string_view a, std::string_view b);

// True when the 0-based byte offset i is the trail byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, size_t i);

// The character routines below count characters (a double-byte pair is one) and are 1-based.
int JLength(std::string_view s);
// Byte position (1-based) of character n; 1 for n <= 1; walking stops at the end of the text.
int JCharToByte(std::string_view s, int n);
// True when byte i (1-based) is a trail byte; raises "Illegal Index" when i is outside the text.
bool IsTrailByte(std::string_view s, int i);
// Code of character n: lead * 256 + trail, or the single byte; 0 when n lies outside the text.
int JCharAt(std::string_view s, int n);
// count characters from character index; at least one when index lies within the text.
std::string JCopy(std::string_view s, int index, int count);
// Character position of the first occurrence of sub that starts on a character boundary, or 0.
int JPos(std::string_view sub, std::string_view s);
void JInsert(std::string_view sub, std::string& s, int index);
void JDelete(std::string& s, int index, int count);
// Cuts the text before the first single-byte delimiter off s and returns it.
std::string FetchToken(std::string& s, std::string_view delimiters);
// Half-width (0x20) and full-width (0x81 0x40) spaces.
void JTrimLeft(std::string& s);
void JTrimRight(std::string& s);
std::string JTrim(std::string_view s);

}  // namespace kivo
