// The glyph list container.
#include "render/text/glyph_list.h"

namespace kivo {

TWdGlyph* TWdGlyphList::At(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return glyphs_[static_cast<size_t>(index)].get();
}

void TWdGlyphList::Append(TWdGlyphList&& other) {
  styles_.AppendAll(std::move(other.styles_));
  for (auto& glyph : other.glyphs_) glyphs_.push_back(std::move(glyph));
  other.glyphs_.clear();
}

void TWdGlyphList::Clear() {
  glyphs_.clear();
  styles_.Clear();
}

std::string TWdGlyphList::Text() const {
  std::string text;
  for (const auto& glyph : glyphs_) {
    if (glyph->GlyphKind() != GK_CHAR) continue;
    uint16_t code = static_cast<const TWdChar&>(*glyph).Code;
    if (code > 0xFF) text += static_cast<char>(code >> 8);
    text += static_cast<char>(code & 0xFF);
  }
  return text;
}

}  // namespace kivo
