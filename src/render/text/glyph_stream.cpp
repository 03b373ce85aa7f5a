// The glyph-list stream: header, style records and the kind-tagged glyph records.
#include "render/text/glyph_stream.h"

#include <memory>
#include <unordered_map>

#include "platform/kivo_error.h"
#include "support/stream.h"

namespace kivo {

namespace {

const std::string kHeaderTag = "TpWord";
constexpr int64_t kHeaderSize = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

TGlyphListFormat ReadHeader(TBinaryReader& r) {
  int64_t start = r.Position();
  if (r.Remaining() >= kHeaderSize) {
    std::string header = r.FixedText(kHeaderSize);
    if (header.compare(0, kHeaderTag.size(), kHeaderTag) == 0 && IsDigit(header[6]) &&
        IsDigit(header[7]) && IsDigit(header[8]))
      return {(header[6] - '0') * 100 + (header[7] - '0') * 10 + (header[8] - '0'), true};
  }
  r.Stream().SetPosition(start);
  return {0, false};
}

void SerializeStyle(TRecordIO& f, TDecorate& s) {
  const Gate shadowFields{.since = kGlyphListShadowVersion};
  f.Int32(s.RefCount);
  f.Int32(s.Color);
  f.Int32(s.BorderColor);
  f.Int32(s.Size);
  f.Byte(s.Flags);
  f.Byte(s.NoBreak);
  if (f.Has(shadowFields)) {
    f.Int32(s.BorderWidth);
  } else {
    // Older lists only knew whether a character is outlined.
    uint8_t outlined = s.BorderWidth > 0 ? 1 : 0;
    f.Byte(outlined);
    s.BorderWidth = outlined != 0 ? 1 : 0;
  }
  f.String(s.FontName);
  f.String(s.Ruby);
  f.Int32(s.ShadowOffset, shadowFields);
  f.Int32(s.ShadowColor, shadowFields);
}

// Four 32-bit values, two bytes, the outline width, two empty strings, and the shadow fields.
int64_t MinStyleSize(int version) { return version >= kGlyphListShadowVersion ? 38 : 27; }

std::unique_ptr<TWdGlyph> NewGlyph(uint8_t kind) {
  switch (kind) {
    case GK_CHAR: return std::make_unique<TWdChar>();
    case GK_ALIGN: return std::make_unique<TWdOpeAlign>();
    case GK_RETURN: return std::make_unique<TWdOpeReturn>();
    case GK_INDENT: return std::make_unique<TWdOpeIndent>();
    case GK_UNDENT: return std::make_unique<TWdOpeUndent>();
    case GK_EVENT: return std::make_unique<TWdOpeEvent>();
    case GK_VAR: return std::make_unique<TWdOpeVar>();
    case GK_IMG: return std::make_unique<TWdImg>();
    case GK_HISTCHAR: return std::make_unique<TWdOpeHistChar>();
    case GK_NONE:
    case GK_SKIPPED: return nullptr;
  }
  throw EKivoError("unknown glyph kind " + std::to_string(kind));
}

void CheckFormat(const TGlyphListFormat& format) {
  if (format.Header ? (format.Version < 0 || format.Version > 999) : format.Version != 0)
    throw EKivoError("glyph list version " + std::to_string(format.Version) +
                     (format.Header ? " does not fit the header" : " needs the header"));
}

}  // namespace

TGlyphListFormat ReadGlyphList(TBinaryReader& r, TWdGlyphList& list) {
  const int64_t start = r.Position();
  try {
    TGlyphListFormat format = ReadHeader(r);
    TRecordIO f(r, format.Version);
    // Read into a list of its own so that malformed data leaves the target untouched.
    TWdGlyphList loaded;
    int32_t styleCount = r.Count(MinStyleSize(format.Version));
    for (int32_t i = 0; i < styleCount; ++i) {
      TDecorate style;
      SerializeStyle(f, style);
      loaded.Styles().Append(style);
    }
    int32_t glyphCount = r.Count(1);
    for (int32_t i = 0; i < glyphCount; ++i) {
      std::unique_ptr<TWdGlyph> glyph = NewGlyph(r.Byte());
      if (glyph == nullptr) continue;
      TGlyphIO io(f, loaded.Styles());
      glyph->Serialize(io);
      loaded.Add(std::move(glyph));
    }
    list.Append(std::move(loaded));
    return format;
  } catch (const EKivoError& e) {
    throw EKivoError("glyph list: " + std::string(e.what()) + " (at byte " +
                     std::to_string(r.Position() - start) + ")");
  }
}

TGlyphListFormat LoadGlyphList(std::string_view bytes, TWdGlyphList& list) {
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  TBinaryReader reader(stream);
  return ReadGlyphList(reader, list);
}

void WriteGlyphList(TBinaryWriter& w, const TWdGlyphList& list, TGlyphListFormat format,
                    const TExpressionHooks* hooks) {
  CheckFormat(format);
  if (format.Header) {
    std::string digits = std::to_string(format.Version);
    w.FixedText(kHeaderTag + std::string(3 - digits.size(), '0') + digits);
  }
  TRecordIO f(w, format.Version);
  const TDecorateList& styles = list.Styles();
  std::unordered_map<const TDecorate*, int> indexes;
  w.Int32(styles.Count());
  for (int i = 0; i < styles.Count(); ++i) {
    TDecorate copy = *styles.At(i);
    SerializeStyle(f, copy);
    indexes.emplace(styles.At(i), i);
  }
  w.Int32(list.Count());
  for (const auto& glyph : list.Glyphs()) {
    w.Byte(glyph->GlyphKind());
    TGlyphIO io(f, indexes, hooks);
    glyph->Serialize(io);
  }
}

std::string SaveGlyphList(const TWdGlyphList& list, TGlyphListFormat format,
                          const TExpressionHooks* hooks) {
  TMemoryStream stream;
  TBinaryWriter writer(stream);
  WriteGlyphList(writer, list, format, hooks);
  const std::vector<uint8_t>& bytes = stream.Bytes();
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace kivo
