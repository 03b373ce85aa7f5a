// Conversion between the engine's CP932 (Shift-JIS) byte strings and UTF-8 at the system boundary.
#pragma once

#include <string>
#include <string_view>

namespace kivo {

// Bytes that have no mapping become "?" (CP932 -> UTF-8: U+FFFD would not round-trip).
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// True when the text converts from UTF-8 to CP932 and back without loss.
bool IsUtf8RepresentableInCp932(std::string_view utf8);

}  // namespace kivo
