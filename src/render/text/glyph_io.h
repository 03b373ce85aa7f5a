// The record serializer of glyph streams: versioned fields, style references and compiled expressions.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "render/text/decorate.h"
#include "support/binary_io.h"

namespace kivo {

// The newest glyph-list layout; older versions are read and can still be written.
constexpr int kGlyphListVersion = 102;
// From this version styles carry a 32-bit outline width, a shadow offset and a shadow colour.
constexpr int kGlyphListShadowVersion = 100;
// From this version variable insertions store their text instead of the compiled expression.
constexpr int kGlyphListVarTextVersion = 102;

// Variable insertions of lists older than kGlyphListVarTextVersion hold a compiled expression.
// The text side does not compile expressions itself; a caller that has the expression compiler
// supplies these to write and print such lists.
struct TExpressionHooks {
  // Expression text -> compiled run-form bytes.
  std::function<std::string(const std::string& text)> ToRunForm;
  // Run-form bytes -> a text that compiles back to the same bytes, when there is one.
  std::function<std::optional<std::string>(const std::string& runForm)> ToText;
};

class TGlyphIO {
public:
  // Reading: stored style indexes refer to the styles read by this load.
  TGlyphIO(TRecordIO& fields, const TDecorateList& loadedStyles)
      : fields_(fields), loadedStyles_(&loadedStyles) {}
  // Writing: each style's index in the list being written.
  TGlyphIO(TRecordIO& fields, const std::unordered_map<const TDecorate*, int>& styleIndexes,
           const TExpressionHooks* hooks)
      : fields_(fields), styleIndexes_(&styleIndexes), hooks_(hooks) {}

  TRecordIO& Fields() { return fields_; }
  int Version() const { return fields_.Version(); }
  bool Reading() const { return fields_.Reading(); }

  // A 32-bit style index.
  void StyleIndex(TDecorate*& style);
  // A compiled expression (run form): read verbatim after checking its structure; written from
  // the stored bytes, else compiled from text through the hooks.
  void RunForm(std::string& runForm, const std::string& text);

private:
  TRecordIO& fields_;
  const TDecorateList* loadedStyles_ = nullptr;
  const std::unordered_map<const TDecorate*, int>* styleIndexes_ = nullptr;
  const TExpressionHooks* hooks_ = nullptr;
};

}  // namespace kivo
