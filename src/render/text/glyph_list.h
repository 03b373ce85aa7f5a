// TWdGlyphList: the glyphs of one text in text order together with the styles they share.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "render/text/decorate.h"
#include "render/text/wd_glyph.h"

namespace kivo {

class TWdGlyphList {
public:
  TWdGlyphList() = default;
  TWdGlyphList(TWdGlyphList&&) = default;
  TWdGlyphList& operator=(TWdGlyphList&&) = default;

  int Count() const { return static_cast<int>(glyphs_.size()); }
  TWdGlyph* At(int index) const;  // nullptr outside the list
  const std::vector<std::unique_ptr<TWdGlyph>>& Glyphs() const { return glyphs_; }

  template <class T>
  T* Add(std::unique_ptr<T> glyph) {
    T* added = glyph.get();
    glyphs_.push_back(std::move(glyph));
    return added;
  }

  TDecorateList& Styles() { return styles_; }
  const TDecorateList& Styles() const { return styles_; }

  // Moves other's glyphs and styles to the end of this list.
  void Append(TWdGlyphList&& other);
  void Clear();

  // The characters as Shift-JIS bytes (a code above 255 gives two bytes).
  std::string Text() const;

private:
  std::vector<std::unique_ptr<TWdGlyph>> glyphs_;
  TDecorateList styles_;
};

}  // namespace kivo
