// Printing a glyph list back as markup that compiles to the same glyphs, styles and bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/text/glyph_io.h"
#include "render/text/glyph_list.h"
#include "render/text/glyph_stream.h"
#include "render/text/markup_compiler.h"

namespace kivo {

// Markup lines for the list: compiled with the same options they give the same glyphs with the
// same styles. Raises EKivoError naming what markup cannot express (a colour outside RRGGBB, an
// unknown alignment, a CR inside a character, a variable insertion stored only compiled when
// hooks cannot give its text, ...).
std::vector<std::string> PrintMarkup(const TWdGlyphList& list, const TMarkupOptions& options = {},
                                     const TExpressionHooks* hooks = nullptr);

struct TPrintedGlyphList {
  std::vector<std::string> Lines;
  TGlyphListFormat Format;
};

// Reads a stored glyph list and prints it, but only when compiling the printed markup and writing
// it in the same format reproduces the bytes exactly; otherwise none (the caller keeps the bytes
// another way). Malformed bytes raise the reader's error.
std::optional<TPrintedGlyphList> PrintGlyphListExactly(std::string_view bytes,
                                                       const TMarkupOptions& options = {},
                                                       const TExpressionHooks* hooks = nullptr);

}  // namespace kivo
