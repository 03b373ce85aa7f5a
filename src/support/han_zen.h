// HanToZen / ZenToHan: conversion between half-width and full-width Shift-JIS characters.
#pragma once

#include <string>
#include <string_view>

namespace kivo {

// ASCII letters, digits, symbols and half-width katakana become full-width; a voiced or
// semi-voiced mark joins the letter before it where a combined letter exists. Double-byte
// characters are kept; other single bytes (control characters, 0x7F, 0x80, 0xA0) are dropped.
std::string HanToZen(std::string_view s);
// The inverse: full-width characters with a half-width form are replaced by it, other
// double-byte characters are dropped, single bytes are kept.
std::string ZenToHan(std::string_view s);

}  // namespace kivo
