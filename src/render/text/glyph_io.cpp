// Style references and compiled expressions inside glyph records.
#include "render/text/glyph_io.h"

#include "platform/kivo_error.h"
#include "render/text/markup_text.h"

namespace kivo {

namespace {

constexpr uint8_t kOpFunc = 11;

void SkipString(TBinaryReader& r) {
  int32_t count = r.Int32();
  if (count > 0) r.Skip(count);
}

// Walks one compiled expression (operation count, then per operation its type, destination,
// operand count, function number for calls and the typed operands) without building it.
void SkipRunForm(TBinaryReader& r) {
  // Smallest operation: type byte, empty destination, operand count.
  int32_t operations = r.Count(9);
  for (int32_t i = 0; i < operations; ++i) {
    uint8_t opType = r.Byte();
    SkipString(r);
    // Smallest operand: a kind byte and a boolean.
    int32_t operands = r.Count(2);
    if (opType == kOpFunc) r.Byte();
    for (int32_t k = 0; k < operands; ++k) {
      switch (r.Byte()) {
        case 1: r.Skip(4); break;
        case 2: r.Skip(10); break;
        case 3: r.Skip(1); break;
        default: SkipString(r); break;  // string constant or variable name
      }
    }
  }
}

}  // namespace

void TGlyphIO::StyleIndex(TDecorate*& style) {
  int32_t index = -1;
  if (Reading()) {
    fields_.Int32(index);
    style = loadedStyles_->At(index);
    if (style == nullptr)
      throw EKivoError("style index " + std::to_string(index) + " outside the " +
                       std::to_string(loadedStyles_->Count()) + " styles of the list");
    return;
  }
  auto found = styleIndexes_->find(style);
  if (found == styleIndexes_->end()) throw EKivoError("a glyph's style is not in the style list");
  index = found->second;
  fields_.Int32(index);
}

void TGlyphIO::RunForm(std::string& runForm, const std::string& text) {
  if (Reading()) {
    TBinaryReader& r = fields_.Reader();
    int64_t start = r.Position();
    SkipRunForm(r);
    int64_t end = r.Position();
    r.Stream().SetPosition(start);
    runForm = r.FixedText(end - start);
    return;
  }
  TBinaryWriter& w = fields_.Writer();
  if (!runForm.empty()) {
    w.FixedText(runForm);
    return;
  }
  std::string trimmed = TrimMarkup(text);
  if (trimmed.empty()) {
    w.Int32(0);  // an empty expression: no operations
    return;
  }
  if (hooks_ == nullptr || !hooks_->ToRunForm)
    throw EKivoError("the variable insertion \"" + trimmed + "\" needs the expression compiler to be written at version " +
                     std::to_string(Version()));
  w.FixedText(hooks_->ToRunForm(trimmed));
}

}  // namespace kivo
