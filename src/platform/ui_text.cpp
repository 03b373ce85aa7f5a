// UI text through fontconfig (a Japanese proportional gothic face) and FreeType.
#include "platform/ui_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>

#include "platform/cp932.h"

namespace kivo {
namespace {

std::string FindUiFontFile() {
  std::string path;
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return path;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("IPAPGothic:lang=ja"));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  return path;
}

std::u32string DecodeUtf8(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k <= extra && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

}  // namespace

TTextBitmap RenderUiText(const std::string& textCp932, int pixelHeight) {
  static std::mutex mutex;
  static FT_Library library = nullptr;
  static FT_Face face = nullptr;
  std::lock_guard lock(mutex);
  if (!library) {
    if (FT_Init_FreeType(&library) != 0) return {};
    std::string file = FindUiFontFile();
    if (file.empty() || FT_New_Face(library, file.c_str(), 0, &face) != 0) face = nullptr;
  }
  if (!face) return {};
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));
  std::u32string text = DecodeUtf8(Cp932ToUtf8(textCp932));

  int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
  int height = static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
  int width = 0;
  for (char32_t cp : text)
    if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) == 0) width += static_cast<int>(face->glyph->advance.x >> 6);
  TTextBitmap bitmap{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, 0)};
  int penX = 0;
  for (char32_t cp : text) {
    if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    for (unsigned row = 0; row < g->bitmap.rows; ++row) {
      int y = ascent - g->bitmap_top + static_cast<int>(row);
      if (y < 0 || y >= height) continue;
      for (unsigned col = 0; col < g->bitmap.width; ++col) {
        int x = penX + g->bitmap_left + static_cast<int>(col);
        if (x < 0 || x >= width) continue;
        uint8_t& dst = bitmap.coverage[static_cast<size_t>(y) * width + x];
        dst = std::max<uint8_t>(dst, g->bitmap.buffer[row * g->bitmap.pitch + col]);
      }
    }
    penX += static_cast<int>(g->advance.x >> 6);
  }
  return bitmap;
}

}  // namespace kivo
