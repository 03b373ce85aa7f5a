// Stream records of the glyph kinds.
#include "render/text/wd_glyph.h"

#include "render/text/glyph_io.h"
#include "render/text/markup_text.h"

namespace kivo {

void TWdChar::Serialize(TGlyphIO& io) {
  TRecordIO& f = io.Fields();
  f.String(Link);
  f.Int32(Wait);
  int16_t code = static_cast<int16_t>(Code);
  f.Int16(code);
  Code = static_cast<uint16_t>(code);
  io.StyleIndex(Style);
}

void TWdImg::Serialize(TGlyphIO& io) {
  TRecordIO& f = io.Fields();
  f.String(Link);
  f.Int32(Wait);
  f.String(Source);
  f.Byte(Align);
}

void TWdOpeReturn::Serialize(TGlyphIO& io) { io.Fields().Byte(Clear); }

void TWdOpeAlign::Serialize(TGlyphIO& io) { io.Fields().Byte(Align); }

void TWdOpeEvent::Serialize(TGlyphIO& io) {
  std::string stored = End ? "\x01" + Value : Value;
  io.Fields().String(stored);
  if (!io.Reading()) return;
  End = !stored.empty() && stored[0] == '\x01';
  Value = End ? stored.substr(1) : stored;
}

std::string TWdOpeVar::ExpressionText() const { return TrimMarkup(Text); }

void TWdOpeVar::Serialize(TGlyphIO& io) {
  TRecordIO& f = io.Fields();
  io.StyleIndex(Style);
  f.Int32(Wait, {.since = 101});
  f.String(Link, {.since = 101});
  if (io.Version() < kGlyphListVarTextVersion)
    io.RunForm(RunForm, Text);
  else
    f.String(Text);
}

}  // namespace kivo
