// Text for the program's own chrome (the toolbar): a line of text rendered with the system's
// Japanese UI font into an 8-bit coverage bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

struct TTextBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;  // width * height, 0..255
};

// Renders CP932 text at the given pixel height; an empty bitmap when no font is available.
TTextBitmap RenderUiText(const std::string& textCp932, int pixelHeight);

}  // namespace kivo
