// The markup printer: it replays the attribute state with as few tags as the glyphs need.
#include "render/text/markup_printer.h"

#include <cstdint>
#include <vector>

#include "platform/kivo_error.h"
#include "render/text/markup_text.h"
#include "support/sjis.h"

namespace kivo {

namespace {

const char* AlignName(uint8_t align) {
  switch (align) {
    case AL_LEFT: return "LEFT";
    case AL_RIGHT: return "RIGHT";
    case AL_CENTER: return "CENTER";
    case AL_TOP: return "TOP";
    case AL_BOTTOM: return "BOTTOM";
    default: return nullptr;
  }
}

[[noreturn]] void Inexpressible(const std::string& what) {
  throw EKivoError("markup cannot express " + what);
}

// Line-end bytes anywhere, even as the second byte of a pair, would split the printed lines.
bool HasLineEndByte(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// A double-quoted attribute value; the tokenizer ends it at the next quote and drops line ends and
// tabs inside it.
std::string Quoted(const std::string& value, const char* what) {
  bool bad = HasLineEndByte(value);
  for (size_t i = 0; i < value.size(); i += SjisCharLength(value, i))
    if (SjisCharLength(value, i) == 1 && (value[i] == '"' || value[i] == '\t')) bad = true;
  if (bad) Inexpressible(std::string(what) + " \"" + value + "\"");
  return "\"" + value + "\"";
}

// A value that holds double quotes: single-quoted, each quote escaped. Outside a double-quoted run
// the tokenizer reads brackets, backslashes, tabs and repeated spaces, so those must not occur.
std::optional<std::string> SingleQuoted(const std::string& value) {
  std::string out = "'";
  for (size_t i = 0; i < value.size(); i += SjisCharLength(value, i)) {
    size_t n = SjisCharLength(value, i);
    char c = value[i];
    if (n == 1) {
      if (c == '\'' || c == '<' || c == '>' || c == '\t' || c == '\x14' || (c == ' ' && out.back() == ' ')) return std::nullopt;
      if (c == '"' || c == '\\') out += '\\';
    }
    out.append(value, i, n);
  }
  if (HasLineEndByte(out) || out.find("-->") != std::string::npos) return std::nullopt;
  return out + "'";
}

// A plain attribute value (not escape-decoded): double-quoted, or single-quoted when it holds
// double quotes.
std::string AttributeValue(const std::string& value, const char* what) {
  if (value.find('"') == std::string::npos) return Quoted(value, what);
  if (std::optional<std::string> single = SingleQuoted(value)) return *single;
  Inexpressible(std::string(what) + " \"" + value + "\"");
}

std::optional<std::string> EncodedValue(const std::string& value) {
  std::optional<std::string> encoded = EncodeValueEscapes(value);
  if (encoded && HasLineEndByte(*encoded)) return std::nullopt;
  return encoded;
}

// The FONT part of a style: what one FONT tag sets.
struct TFontState {
  int32_t Size = 0;
  int32_t Color = -1;
  int32_t BorderColor = -1;
  int32_t ShadowColor = -1;
  std::string FontName;
  int32_t BorderWidth = -1;
  int32_t ShadowOffset = -1;

  bool operator==(const TFontState&) const = default;
};

class TPrinter {
public:
  TPrinter(const TMarkupOptions& options, const TExpressionHooks* hooks)
      : defaultWait_(options.DefaultWait), hooks_(hooks), wait_(options.DefaultWait) {}

  void Glyph(const TWdGlyph& glyph) {
    switch (glyph.GlyphKind()) {
      case GK_CHAR: {
        const auto& c = static_cast<const TWdChar&>(glyph);
        State(c.Style, c.Link, c.Wait);
        Character(c.Code);
        return;
      }
      case GK_VAR:
      case GK_HISTCHAR: {
        const auto& v = static_cast<const TWdOpeVar&>(glyph);
        State(v.Style, v.Link, v.Wait);
        bool hist = glyph.GlyphKind() == GK_HISTCHAR;
        Tag(std::string(hist ? "<HISTCHAR VALUE=" : "<VAR NAME=") + AttributeValue(VarText(v), "a variable text") + ">");
        return;
      }
      case GK_IMG: {
        const auto& img = static_cast<const TWdImg&>(glyph);
        if (img.Source.empty()) Inexpressible("an image without a source");
        if (img.Align != AL_CENTER && img.Align != AL_TOP && img.Align != AL_BOTTOM)
          Inexpressible("image alignment " + std::to_string(img.Align));
        Link(img.Link);
        Wait(img.Wait);
        std::string tag = "<IMG SRC=" + AttributeValue(img.Source, "an image source");
        if (img.Align != AL_BOTTOM) tag += std::string(" ALIGN=") + AlignName(img.Align);
        Tag(tag + ">");
        return;
      }
      case GK_RETURN: {
        uint8_t clear = static_cast<const TWdOpeReturn&>(glyph).Clear;
        if (clear > 1) Inexpressible("clear flag " + std::to_string(clear));
        Tag(clear != 0 ? "<BR CLEAR>" : "<BR>");
        out_ += '\r';
        return;
      }
      case GK_ALIGN:
        Align(static_cast<const TWdOpeAlign&>(glyph).Align);
        return;
      case GK_INDENT:
        Tag("<INDENT>");
        return;
      case GK_UNDENT:
        Tag("<UNDENT>");
        return;
      case GK_EVENT: {
        const auto& e = static_cast<const TWdOpeEvent&>(glyph);
        std::optional<std::string> value = EncodedValue(e.Value);
        if (!value) Inexpressible("the event value \"" + e.Value + "\"");
        Tag("<EVENT VALUE=\"" + *value + "\"" + (e.End ? " END>" : ">"));
        return;
      }
      default:
        Inexpressible("a glyph of kind " + std::to_string(glyph.GlyphKind()));
    }
  }

  std::string Finish() {
    // Close what is open; none of these make glyphs (a DIV would, so alignments stay).
    Link("");
    Wait(defaultWait_);
    if (!ruby_.empty()) Tag("</RUBY>");
    if (noBreak_) Tag("</NOBR>");
    SetFlags(0);
    if (fontOpen_) Tag("</FONT>");
    // Editors strip spaces at line ends; an empty tag keeps the last one.
    if (!out_.empty() && out_.back() == ' ') Tag("<>");
    return std::move(out_);
  }

private:
  void Tag(const std::string& tag) {
    out_ += tag;
    tokenEndsWithSpace_ = false;
  }

  void Character(uint16_t code) {
    if (code > 0xFF) {
      char lead = static_cast<char>(code >> 8);
      char trail = static_cast<char>(code & 0xFF);
      if (!IsLeadByte(lead) || trail == '\r' || trail == '\n') Inexpressible("character code " + std::to_string(code));
      out_ += lead;
      out_ += static_cast<char>(code & 0xFF);
      tokenEndsWithSpace_ = false;
      return;
    }
    char c = static_cast<char>(code);
    if (IsLeadByte(c) || c == '\r' || c == '\n' || c == '\t' || c == '\x14')
      Inexpressible("character code " + std::to_string(code));
    switch (c) {
      case ' ':
        // Spaces collapse within a text token; an empty tag starts a new one.
        if (tokenEndsWithSpace_) Tag("<>");
        out_ += ' ';
        tokenEndsWithSpace_ = true;
        return;
      case '"': out_ += "\\\""; break;
      case '\\': out_ += "\\\\"; break;
      case '<': Tag("\\<"); return;
      case '>': Tag("\\>"); return;
      default: out_ += c; break;
    }
    tokenEndsWithSpace_ = false;
  }

  std::string VarText(const TWdOpeVar& v) {
    if (!v.Text.empty()) return v.Text;
    if (!v.RunForm.empty() && hooks_ != nullptr && hooks_->ToText) {
      if (std::optional<std::string> text = hooks_->ToText(v.RunForm); text && !text->empty()) return *text;
    }
    Inexpressible(v.RunForm.empty() ? "an empty variable insertion" : "a compiled variable insertion");
  }

  void State(const TDecorate* style, const std::string& link, int32_t wait) {
    if (style == nullptr) Inexpressible("a character without a style");
    Font({style->Size, style->Color, style->BorderColor, style->ShadowColor, style->FontName,
          style->BorderWidth, style->ShadowOffset});
    if (style->Flags > 0x0F) Inexpressible("style flags " + std::to_string(style->Flags));
    SetFlags(style->Flags);
    if (style->NoBreak > 1) Inexpressible("no-break value " + std::to_string(style->NoBreak));
    if ((style->NoBreak != 0) != noBreak_) {
      noBreak_ = style->NoBreak != 0;
      Tag(noBreak_ ? "<NOBR>" : "</NOBR>");
    }
    if (style->Ruby != ruby_) {
      ruby_ = style->Ruby;
      Tag(ruby_.empty() ? "</RUBY>" : "<RUBY VALUE=" + AttributeValue(ruby_, "a ruby text") + ">");
    }
    Link(link);
    Wait(wait);
  }

  void Font(const TFontState& wanted) {
    if (wanted == font_) return;
    if (fontOpen_) Tag("</FONT>");
    font_ = TFontState();
    fontOpen_ = false;
    if (wanted == font_) return;
    std::string tag = "<FONT";
    if (wanted.Size != 0) tag += " SIZE=" + std::to_string(wanted.Size);
    auto color = [&](int32_t value, const char* name) {
      if (value == -1) return;
      if (value < 0 || value > 0xFFFFFF) Inexpressible(std::string(name) + " " + std::to_string(value));
      tag += std::string(" ") + name + "=" + FormatMarkupColor(value);
    };
    color(wanted.Color, "COLOR");
    color(wanted.BorderColor, "BCOLOR");
    color(wanted.ShadowColor, "SCOLOR");
    if (!wanted.FontName.empty()) tag += " NAME=" + AttributeValue(wanted.FontName, "a font name");
    auto width = [&](int32_t value, const char* name) {
      if (value == -1) return;
      if (value < 0) Inexpressible(std::string(name) + " " + std::to_string(value));
      tag += std::string(" ") + name + "=" + std::to_string(value);
    };
    width(wanted.BorderWidth, "BORDER");
    width(wanted.ShadowOffset, "SHADOW");
    Tag(tag + ">");
    font_ = wanted;
    fontOpen_ = true;
  }

  void SetFlags(uint8_t wanted) {
    static constexpr struct {
      uint8_t Bit;
      const char* Name;
    } kFlags[] = {{FS_BOLD, "B"}, {FS_ITALIC, "I"}, {FS_UNDERLINE, "U"}, {FS_STRIKEOUT, "S"}};
    for (const auto& f : kFlags) {
      if ((wanted & f.Bit) == (flags_ & f.Bit)) continue;
      Tag(std::string((wanted & f.Bit) != 0 ? "<" : "</") + f.Name + ">");
    }
    flags_ = wanted;
  }

  void Link(const std::string& link) {
    if (link == link_) return;
    if (link.empty()) {
      Tag("</A>");
    } else {
      std::optional<std::string> href = EncodedValue(link);
      if (!href) Inexpressible("the link \"" + link + "\"");
      Tag("<A HREF=\"" + *href + "\">");
    }
    link_ = link;
  }

  void Wait(int32_t wait) {
    if (wait == wait_) return;
    if (waitOpen_) Tag("</WAIT>");
    waitOpen_ = wait != defaultWait_;
    if (waitOpen_) Tag("<WAIT VALUE=" + std::to_string(wait) + ">");
    wait_ = wait;
  }

  // DIV pushes an alignment and /DIV pops one; each makes an alignment mark with the new top.
  void Align(uint8_t align) {
    const char* name = AlignName(align);
    if (name == nullptr || align > AL_CENTER) Inexpressible("alignment mark " + std::to_string(align));
    uint8_t below = aligns_.size() >= 2 ? aligns_[aligns_.size() - 2] : AL_LEFT;
    if (!aligns_.empty() && below == align) {
      aligns_.pop_back();
      Tag("</DIV>");
      return;
    }
    aligns_.push_back(align);
    Tag(std::string("<DIV ALIGN=") + name + ">");
  }

  const int32_t defaultWait_;
  const TExpressionHooks* hooks_;
  std::string out_;
  bool tokenEndsWithSpace_ = false;
  TFontState font_;
  bool fontOpen_ = false;
  uint8_t flags_ = 0;
  bool noBreak_ = false;
  std::string ruby_;
  std::string link_;
  int32_t wait_;
  bool waitOpen_ = false;
  std::vector<uint8_t> aligns_;
};

}  // namespace

std::vector<std::string> PrintMarkup(const TWdGlyphList& list, const TMarkupOptions& options,
                                     const TExpressionHooks* hooks) {
  TPrinter printer(options, hooks);
  for (const auto& glyph : list.Glyphs()) printer.Glyph(*glyph);
  return SplitMarkupLines(printer.Finish());
}

std::optional<TPrintedGlyphList> PrintGlyphListExactly(std::string_view bytes, const TMarkupOptions& options,
                                                       const TExpressionHooks* hooks) {
  TWdGlyphList list;
  TGlyphListFormat format = LoadGlyphList(bytes, list);
  try {
    std::vector<std::string> lines = PrintMarkup(list, options, hooks);
    TWdGlyphList again = CompileMarkup(lines, options);
    if (SaveGlyphList(again, format, hooks) == bytes) return TPrintedGlyphList{std::move(lines), format};
  } catch (const EKivoError&) {
    // Not expressible as markup: the caller keeps the bytes as they are.
  }
  return std::nullopt;
}

}  // namespace kivo
