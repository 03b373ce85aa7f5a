// The tag table and glyph creation of marked-up text.
#include "render/text/markup_compiler.h"

#include <algorithm>
#include <memory>

#include "render/text/markup_text.h"
#include "render/text/markup_tokenizer.h"
#include "render/text/tag.h"
#include "render/text/tag_val_list.h"
#include "support/sjis.h"

namespace kivo {

const char* const kNoHrefMessage =
    "<A>\x83\x5E\x83\x4F\x82\xC9HREF\x92\x6C\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";

namespace {

struct TAlignName {
  const char* Name;
  uint8_t Code;
};
constexpr TAlignName kAlignNames[] = {
    {"LEFT", AL_LEFT}, {"RIGHT", AL_RIGHT}, {"CENTER", AL_CENTER}, {"TOP", AL_TOP}, {"BOTTOM", AL_BOTTOM}};

// The alignment named by value when it is one of allowed, else fallback.
uint8_t AlignOf(const std::string& value, std::initializer_list<uint8_t> allowed, uint8_t fallback) {
  for (const TAlignName& a : kAlignNames) {
    if (!SjisSameText(value, a.Name)) continue;
    for (uint8_t code : allowed)
      if (code == a.Code) return code;
  }
  return fallback;
}

class TGlyphBuilder {
public:
  TGlyphBuilder(TWdGlyphList& list, const TMarkupOptions& options)
      : list_(list), state_(options.DefaultWait) {}

  void Text(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
      size_t n = SjisCharLength(text, i);
      auto glyph = std::make_unique<TWdChar>();
      glyph->Code = n == 2 ? static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << 8 | static_cast<uint8_t>(text[i + 1]))
                           : static_cast<uint8_t>(text[i]);
      glyph->Style = list_.Styles().Acquire(state_.CurrentStyle());
      glyph->Link = state_.Link;
      glyph->Wait = state_.Wait.Top();
      list_.Add(std::move(glyph));
      i += n;
    }
  }

  // Returns false for an "A" tag without HREF.
  bool Tag(const TTag& tag) {
    if (tag.IsNamed("A")) {
      if (!tag.Has("HREF")) return false;
      state_.Link = DecodeValueEscapes(tag.Value("HREF"));
    } else if (tag.IsNamed("/A")) {
      state_.Link.clear();
    } else if (FlagTag(tag)) {
    } else if (tag.IsNamed("FONT")) {
      Font(tag);
    } else if (tag.IsNamed("/FONT")) {
      state_.Size.Pop();
      state_.Color.Pop();
      state_.BorderColor.Pop();
      state_.ShadowColor.Pop();
      state_.FontName.Pop();
      state_.BorderWidth.Pop();
      state_.ShadowOffset.Pop();
    } else if (tag.IsNamed("NOBR")) {
      state_.NoBreak = true;
    } else if (tag.IsNamed("/NOBR")) {
      state_.NoBreak = false;
    } else if (tag.IsNamed("RUBY")) {
      state_.Ruby = tag.Value("VALUE");
    } else if (tag.IsNamed("/RUBY")) {
      state_.Ruby.clear();
    } else if (tag.IsNamed("DIV")) {
      state_.Align.Push(AlignOf(tag.Value("ALIGN"), {AL_LEFT, AL_RIGHT, AL_CENTER}, AL_LEFT));
      AddAlign();
    } else if (tag.IsNamed("/DIV")) {
      state_.Align.Pop();
      AddAlign();
    } else if (tag.IsNamed("INDENT")) {
      list_.Add(std::make_unique<TWdOpeIndent>());
    } else if (tag.IsNamed("UNDENT")) {
      list_.Add(std::make_unique<TWdOpeUndent>());
    } else if (tag.IsNamed("BR") || tag.IsNamed("CLEAR")) {
      auto glyph = std::make_unique<TWdOpeReturn>();
      glyph->Clear = tag.IsNamed("CLEAR") || tag.Has("CLEAR") ? 1 : 0;
      list_.Add(std::move(glyph));
    } else if (tag.IsNamed("EVENT")) {
      auto glyph = std::make_unique<TWdOpeEvent>();
      glyph->Value = DecodeValueEscapes(tag.Value("VALUE"));
      glyph->End = tag.Has("END");
      list_.Add(std::move(glyph));
    } else if (tag.IsNamed("WAIT")) {
      state_.Wait.Push(ParseMarkupInt(tag.Value("VALUE")).value_or(state_.Wait.Top()));
    } else if (tag.IsNamed("/WAIT")) {
      state_.Wait.Pop();
    } else if (tag.IsNamed("VAR")) {
      AddVar(std::make_unique<TWdOpeVar>(), tag.Value("NAME"));
    } else if (tag.IsNamed("HISTCHAR")) {
      AddVar(std::make_unique<TWdOpeHistChar>(), tag.Value("VALUE"));
    } else if (tag.IsNamed("IMG")) {
      std::string source = tag.Value("SRC");
      if (source.empty()) return true;
      auto glyph = std::make_unique<TWdImg>();
      glyph->Source = source;
      glyph->Align = AlignOf(tag.Value("ALIGN"), {AL_CENTER, AL_TOP, AL_BOTTOM}, AL_BOTTOM);
      glyph->Link = state_.Link;
      glyph->Wait = state_.Wait.Top();
      list_.Add(std::move(glyph));
    }
    // Any other tag means nothing.
    return true;
  }

private:
  bool FlagTag(const TTag& tag) {
    struct TFlagTag {
      const char* On;
      const char* Off;
      uint8_t Bit;
    };
    static constexpr TFlagTag kFlagTags[] = {
        {"B", "/B", FS_BOLD}, {"I", "/I", FS_ITALIC}, {"S", "/S", FS_STRIKEOUT}, {"U", "/U", FS_UNDERLINE}};
    for (const TFlagTag& f : kFlagTags) {
      if (tag.IsNamed(f.On)) {
        state_.Flags |= f.Bit;
        return true;
      }
      if (tag.IsNamed(f.Off)) {
        state_.Flags &= static_cast<uint8_t>(~f.Bit);
        return true;
      }
    }
    return false;
  }

  void Font(const TTag& tag) {
    auto color = [&](TTagStack<int32_t>& stack, const char* name) {
      stack.Push(ParseMarkupColor(tag.Value(name)).value_or(stack.Top()));
    };
    // A width given but not a number means 1; a negative one means none.
    auto width = [&](TTagStack<int32_t>& stack, const char* name) {
      if (!tag.Has(name)) {
        stack.Push(stack.Top());
        return;
      }
      int32_t value = ParseMarkupInt(tag.Value(name)).value_or(1);
      stack.Push(value < 0 ? 0 : value);
    };
    state_.Size.Push(ParseMarkupInt(tag.Value("SIZE")).value_or(state_.Size.Top()));
    color(state_.Color, "COLOR");
    color(state_.BorderColor, "BCOLOR");
    color(state_.ShadowColor, "SCOLOR");
    state_.FontName.Push(tag.Has("NAME") ? tag.Value("NAME") : state_.FontName.Top());
    width(state_.BorderWidth, "BORDER");
    width(state_.ShadowOffset, "SHADOW");
  }

  void AddAlign() {
    auto glyph = std::make_unique<TWdOpeAlign>();
    glyph->Align = state_.Align.Top();
    list_.Add(std::move(glyph));
  }

  void AddVar(std::unique_ptr<TWdOpeVar> glyph, const std::string& text) {
    if (text.empty()) return;
    glyph->Text = text;
    glyph->Style = list_.Styles().Acquire(state_.CurrentStyle());
    glyph->Wait = state_.Wait.Top();
    glyph->Link = state_.Link;
    list_.Add(std::move(glyph));
  }

  TWdGlyphList& list_;
  TTagValList state_;
};

// The tags the markup knows, with the attributes each one reads.
struct TKnownTag {
  const char* Name;
  std::initializer_list<const char*> Attributes;
};
const TKnownTag kKnownTags[] = {
    {"A", {"HREF"}}, {"/A", {}}, {"B", {}}, {"/B", {}}, {"I", {}}, {"/I", {}}, {"S", {}}, {"/S", {}},
    {"U", {}}, {"/U", {}}, {"NOBR", {}}, {"/NOBR", {}},
    {"FONT", {"SIZE", "COLOR", "BCOLOR", "SCOLOR", "NAME", "BORDER", "SHADOW"}}, {"/FONT", {}},
    {"RUBY", {"VALUE"}}, {"/RUBY", {}}, {"DIV", {"ALIGN"}}, {"/DIV", {}}, {"INDENT", {}},
    {"UNDENT", {}}, {"BR", {"CLEAR"}}, {"CLEAR", {}}, {"EVENT", {"VALUE", "END"}},
    {"WAIT", {"VALUE"}}, {"/WAIT", {}}, {"VAR", {"NAME"}}, {"HISTCHAR", {"VALUE"}},
    {"IMG", {"SRC", "ALIGN"}}, {"PRE", {}}, {"/PRE", {}}, {"TEXTAREA", {}}, {"/TEXTAREA", {}}};

// Warnings for a tag: what the player would ignore or read differently from how it looks.
void CheckTag(const TTag& tag, std::vector<std::string>& warnings) {
  if (tag.Name().empty()) return;  // "<>" is the printer's token separator
  const TKnownTag* known = nullptr;
  for (const TKnownTag& k : kKnownTags)
    if (tag.IsNamed(k.Name)) known = &k;
  if (known == nullptr) {
    warnings.push_back("unknown tag <" + tag.Name() + "> is ignored");
    return;
  }
  for (const TTag::TAttribute& a : tag.Attributes()) {
    bool read = false;
    for (const char* name : known->Attributes) read = read || SjisSameText(a.Name, name);
    if (!read) warnings.push_back("<" + tag.Name() + "> has no attribute " + a.Name);
  }
  auto number = [&](const char* name, bool needed) {
    const TTag::TAttribute* a = tag.Find(name);
    if (a == nullptr ? needed : a->HasValue && !ParseMarkupInt(a->Value))
      warnings.push_back("<" + tag.Name() + "> " + name + " is not a number");
  };
  auto required = [&](const char* name) {
    if (tag.Value(name).empty()) warnings.push_back("<" + tag.Name() + "> without " + name + " is ignored");
  };
  auto align = [&](std::initializer_list<const char*> allowed) {
    const TTag::TAttribute* a = tag.Find("ALIGN");
    if (a == nullptr) return;
    for (const char* name : allowed)
      if (SjisSameText(a->Value, name)) return;
    warnings.push_back("<" + tag.Name() + "> ALIGN=" + a->Value + " is not one of the alignments it takes");
  };
  std::string name = SjisUpperCase(tag.Name());
  if (name == "FONT") {
    number("SIZE", false);
    number("BORDER", false);
    number("SHADOW", false);
    for (const char* color : {"COLOR", "BCOLOR", "SCOLOR"}) {
      const TTag::TAttribute* a = tag.Find(color);
      if (a != nullptr && !ParseMarkupColor(a->Value))
        warnings.push_back("<FONT> " + std::string(color) + "=" + a->Value + " is not #RRGGBB");
    }
  } else if (name == "WAIT") {
    number("VALUE", true);
  } else if (name == "DIV") {
    align({"LEFT", "RIGHT", "CENTER"});
  } else if (name == "IMG") {
    required("SRC");
    align({"CENTER", "TOP", "BOTTOM"});
  } else if (name == "VAR") {
    required("NAME");
  } else if (name == "HISTCHAR") {
    required("VALUE");
  }
}

// 1-based line and character column of a byte offset in the joined markup.
void PositionOf(std::string_view joined, size_t offset, int& line, int& column) {
  line = 1;
  column = 1;
  for (size_t i = 0; i < offset && i < joined.size();) {
    size_t n = SjisCharLength(joined, i);
    if (joined[i] == '\r') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
    i += n;
  }
}

void SortWarnings(const TMarkupOptions& options) {
  if (options.Warnings == nullptr) return;
  std::stable_sort(options.Warnings->begin(), options.Warnings->end(),
                   [](const TMarkupWarning& a, const TMarkupWarning& b) {
                     return a.Line != b.Line ? a.Line < b.Line : a.Column < b.Column;
                   });
}

}  // namespace

std::vector<std::string> SplitMarkupLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

void CompileMarkup(const std::vector<std::string>& lines, TWdGlyphList& list, const TMarkupOptions& options) {
  std::string joined = JoinMarkupLines(lines);
  TGlyphBuilder builder(list, options);
  std::vector<std::string> warnings;
  std::vector<TQuotedRun> quotedRuns;
  std::vector<TMarkupToken> tokens = TokenizeMarkup(joined, options.Warnings != nullptr ? &quotedRuns : nullptr);
  for (const TQuotedRun& run : quotedRuns) {
    if (run.Closed && !run.HasBracket) continue;
    int line = 0;
    int column = 0;
    PositionOf(joined, run.Offset, line, column);
    options.Warnings->push_back({line, column, run.Closed ? "tags between double quotes are shown as text (write \\\" for a quote character)"
                                                          : "a double quote that is never closed makes the rest text (write \\\" for a quote character)"});
  }
  for (const TMarkupToken& token : tokens) {
    int line = 0;
    int column = 0;
    auto locate = [&] { PositionOf(joined, token.Offset, line, column); };
    if (!TTag::IsTag(token.Text)) {
      // Comments and script or style blocks are tokens of their own and show nothing.
      if (token.Text.size() > 1 && token.Text.front() == '<' && token.Text.back() == '>') continue;
      // An escaped "<" always ends its token, so a longer one starting with "<" was never closed.
      if (options.Warnings != nullptr && token.Text.size() > 1 && token.Text.front() == '<') {
        locate();
        options.Warnings->push_back({line, column, "unclosed tag or comment is shown as text"});
      }
      builder.Text(token.Text);
      continue;
    }
    TTag tag = TTag::Parse(token.Text);
    if (options.Warnings != nullptr) {
      warnings.clear();
      CheckTag(tag, warnings);
      if (!warnings.empty()) locate();
      for (std::string& text : warnings) options.Warnings->push_back({line, column, std::move(text)});
    }
    if (!builder.Tag(tag)) {
      locate();
      SortWarnings(options);
      throw EMarkupError(kNoHrefMessage, line, column);
    }
  }
  SortWarnings(options);
}

TWdGlyphList CompileMarkup(const std::vector<std::string>& lines, const TMarkupOptions& options) {
  TWdGlyphList list;
  CompileMarkup(lines, list, options);
  return list;
}

}  // namespace kivo
