// Reading and writing glyph lists: the optional "TpWord" version header, the style list, the glyphs.
#pragma once

#include <string>
#include <string_view>

#include "render/text/glyph_io.h"
#include "render/text/glyph_list.h"
#include "support/binary_io.h"

namespace kivo {

// A list without the header is version 0; with it, the three digits give the version.
struct TGlyphListFormat {
  int Version = kGlyphListVersion;
  bool Header = true;

  bool operator==(const TGlyphListFormat&) const = default;
};

// Reads one glyph list and appends its styles and glyphs to list. Nothing is appended when the
// data is malformed; the error says where it went wrong.
TGlyphListFormat ReadGlyphList(TBinaryReader& reader, TWdGlyphList& list);
TGlyphListFormat LoadGlyphList(std::string_view bytes, TWdGlyphList& list);

// Writes the whole list in the given format. hooks are needed only for variable insertions
// without a compiled expression in formats older than kGlyphListVarTextVersion.
void WriteGlyphList(TBinaryWriter& writer, const TWdGlyphList& list, TGlyphListFormat format = {},
                    const TExpressionHooks* hooks = nullptr);
std::string SaveGlyphList(const TWdGlyphList& list, TGlyphListFormat format = {},
                          const TExpressionHooks* hooks = nullptr);

}  // namespace kivo
