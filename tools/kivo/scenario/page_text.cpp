// Compiling page text into pages and printing pages as text.
#include "page_text.h"

#include <map>
#include <optional>
#include <set>

#include "engine/commands/command_factory.h"
#include "engine/commands/component_commands.h"
#include "engine/commands/flow_commands.h"
#include "engine/commands/object_commands.h"
#include "page_forms.h"
#include "platform/cp932.h"
#include "platform/kivo_error.h"
#include "render/text/markup_compiler.h"
#include "render/text/markup_printer.h"
#include "scenario_expr.h"
#include "text_values.h"
#include "values/property_names.h"

namespace kivo::scenario {

std::string TSourceError::Text() const {
  return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

namespace {

std::string JoinErrors(const std::vector<TSourceError>& errors) {
  std::string text;
  for (const TSourceError& e : errors) text += (text.empty() ? "" : "\n") + e.Text();
  return text;
}

}  // namespace

ESourceErrors::ESourceErrors(std::vector<TSourceError> errors)
    : std::runtime_error(JoinErrors(errors)), errors_(std::move(errors)) {}

std::string PageBytes(const TPage& page) {
  TMemoryStream stream;
  page.SaveToStream(stream);
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

namespace {

constexpr int kDefaultVersion = TPage::kNewestVersion;

// A problem at a byte offset of a source line.
struct TLineError {
  size_t position;
  std::string message;
};

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c == '/') c = '\\';
  }
  return s;
}

bool SamePage(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::string ToCp932(const std::string& utf8, size_t position) {
  if (!IsUtf8RepresentableInCp932(utf8)) throw TLineError{position, "the text has characters without a Shift-JIS form"};
  return Utf8ToCp932(utf8);
}

bool ReadsBack(const std::string& cp932, std::string& utf8) {
  utf8 = Cp932ToUtf8(cp932);
  return Utf8ToCp932(utf8) == cp932;
}

struct TLabelFixup {
  size_t command;
  std::string page;   // as stored
  std::string label;  // CP932
  int line, column;
};

struct TParsedPage {
  const TPageSource* source;
  std::unique_ptr<TPage> page;
  std::vector<TLabelFixup> fixups;
  std::vector<std::pair<size_t, bool>> loopGiven;  // command index, whether the index was written
  std::vector<int> lines;                           // source line of each command
  std::map<int, std::set<int>> declaredMasks;       // kind -> properties named by Mask lines
  std::map<int, std::set<int>> usedMasks;
};

class TPageCompiler {
public:
  TPageCompiler(const TPageSource& source, std::vector<TSourceError>& errors) : errors_(errors) {
    parsed_.source = &source;
    parsed_.page = std::make_unique<TPage>();
    parsed_.page->SetName(source.pageName);
  }

  TParsedPage Run() {
    SplitLines(parsed_.source->text);
    for (size_t i = 0; i < lines_.size(); ++i) {
      try {
        i = Line(i);
      } catch (const TLineError& e) {
        Report(static_cast<int>(i + 1), ColumnOf(lines_[i], e.position), e.message);
        i = SkipTextLines(i);
      } catch (const TLexError& e) {
        Report(static_cast<int>(i + 1), ColumnOf(lines_[i], e.position), e.message);
        i = SkipTextLines(i);
      }
    }
    return std::move(parsed_);
  }

private:
  void Report(int line, int column, const std::string& message) {
    errors_.push_back({parsed_.source->file, line, column, message});
  }

  // The '|' lines after a line that failed belong to it: one report for the command is enough.
  size_t SkipTextLines(size_t i) const {
    while (i + 1 < lines_.size()) {
      size_t p = lines_[i + 1].find_first_not_of(" \t");
      if (p == std::string::npos || lines_[i + 1][p] != '|') break;
      ++i;
    }
    return i;
  }

  void SplitLines(const std::string& text) {
    size_t from = 0;
    for (;;) {
      size_t nl = text.find('\n', from);
      std::string line = text.substr(from, nl == std::string::npos ? std::string::npos : nl - from);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines_.push_back(line);
      if (nl == std::string::npos) break;
      from = nl + 1;
    }
    if (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
  }

  // Handles line i (and a TextIns block after it); returns the last line used.
  size_t Line(size_t i) {
    const std::string& line = lines_[i];
    size_t start = 0;
    int32_t indent = 0;
    int spaces = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) {
      if (line[start] == '\t') {
        if (spaces % 2) throw TLineError{start, "indentation is two spaces or one tab per level"};
        ++indent;
      } else if (++spaces % 2 == 0) {
        ++indent;
      }
      ++start;
    }
    if (start == line.size() || line[start] == '#') return i;
    if (spaces % 2) throw TLineError{start, "indentation is two spaces or one tab per level"};
    if (line[start] == '|') throw TLineError{start, "a text line '|' belongs right after a TextIns"};

    // Head flags, then the kind; the rest is tokenized once the kind says how to read it.
    std::vector<TToken> tokens;
    bool disabled = false, continueFlag = true;
    int32_t lineNumber = static_cast<int32_t>(i + 1);
    size_t t = 0;
    for (TToken tk = NextToken(line, start); tk.begin < line.size(); tk = NextToken(line, tk.end), ++t) {
      tokens.push_back(tk);
      std::string word = line.substr(tk.begin, tk.end - tk.begin);
      // A flag word standing last is the command's name ("continue" spelt in lower case).
      if (NextToken(line, tk.end).begin >= line.size()) break;
      if (word == "disabled") disabled = true;
      else if (word == "yield") continueFlag = false;
      else if (word == "continue") continueFlag = true;
      else if (tk.named && (tk.name == "line" || tk.name == "indent")) {
        int32_t v = 0;
        if (!ParseInt(line.substr(tk.valueBegin, tk.end - tk.valueBegin), v))
          throw TLineError{tk.valueBegin, "'" + tk.name + "' takes a whole number"};
        (tk.name == "line" ? lineNumber : indent) = v;
      } else {
        break;
      }
    }
    if (t == tokens.size()) throw TLineError{line.size(), "a command name is missing"};
    const TToken head = tokens[t];  // tokens is read again below
    std::string name = line.substr(head.begin, head.end - head.begin);
    if (name == "Page" || name == "Mask") {
      tokens = Tokenize(line, start);
      if (t != 0) throw TLineError{tokens[0].begin, "'" + name + "' lines take no head flags"};
      if (parsed_.page->Count() > 0) throw TLineError{head.begin, "'" + name + "' lines come before the first command"};
      if (name == "Page") PageLine(line, tokens);
      else MaskLine(line, tokens);
      return i;
    }
    int kind = CommandKindByName(name);
    if (kind < 0 || head.named) throw TLineError{head.begin, "unknown command '" + name + "'"};

    std::unique_ptr<TCommand> command = CreateCommand(kind);
    command->SetHead(indent, disabled, continueFlag, lineNumber);
    textGiven_ = false;
    size_t index = static_cast<size_t>(parsed_.page->Count());
    bool loopGiven = false;
    std::vector<std::string> block;
    bool haveBlock = false;
    size_t last = i;
    if (kind == CK_TEXTINS) {
      while (last + 1 < lines_.size()) {
        const std::string& next = lines_[last + 1];
        size_t p = next.find_first_not_of(" \t");
        if (p == std::string::npos || next[p] != '|') break;
        ++last;
        std::string text = next.substr(p + 1);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        block.push_back(text);
        haveBlock = true;
      }
    }
    Fields(*command, kind, line, head.end, index, loopGiven);
    if (haveBlock) TextBlock(static_cast<TComTextIns&>(*command), block, i + 1);
    parsed_.page->Add(std::move(command));
    parsed_.lines.push_back(static_cast<int>(i + 1));
    parsed_.loopGiven.push_back({index, loopGiven});
    return last;
  }

  void PageLine(const std::string& line, const std::vector<TToken>& tokens) {
    for (size_t t = 1; t < tokens.size(); ++t) {
      const TToken& tk = tokens[t];
      std::string value = tk.named ? line.substr(tk.valueBegin, tk.end - tk.valueBegin) : "";
      int32_t v = 0;
      if (tk.named && tk.name == "version" && ParseInt(value, v)) {
        if (v < TPage::kOldestVersion || v > TPage::kNewestVersion)
          throw TLineError{tk.valueBegin, "page versions run from 103 to 116"};
        parsed_.page->SetVersion(v);
      } else if (tk.named && tk.name == "result") {
        int type = ByteValueByName(TByteNames::Type, value);
        if (type < 0 && (!ParseInt(value, v) || v < 0 || v > 255))
          throw TLineError{tk.valueBegin, "result is ref, int, float, flag, string or a byte"};
        parsed_.page->SetResultType(static_cast<uint8_t>(type >= 0 ? type : v));
      } else {
        throw TLineError{tk.begin, "a Page line takes version=N and result=TYPE"};
      }
    }
  }

  void MaskLine(const std::string& line, const std::vector<TToken>& tokens) {
    if (tokens.size() < 2) throw TLineError{line.size(), "Mask KIND PROPERTY..."};
    std::string kindName = line.substr(tokens[1].begin, tokens[1].end - tokens[1].begin);
    int kind = CommandKindByName(kindName);
    if (kind < 0) throw TLineError{tokens[1].begin, "unknown command '" + kindName + "'"};
    for (size_t t = 2; t < tokens.size(); ++t) {
      std::string prop = line.substr(tokens[t].begin, tokens[t].end - tokens[t].begin);
      int id = PropertyByName(prop);
      if (id < 0) throw TLineError{tokens[t].begin, "unknown property '" + prop + "'"};
      parsed_.declaredMasks[kind].insert(id);
    }
  }

  void Fields(TCommand& command, int kind, const std::string& line, size_t after, size_t index, bool& loopGiven) {
    const TKindForm& form = KindForm(kind);
    std::string kindName(CommandKindName(kind));
    std::set<std::string> seen;
    auto take = [&](const std::string& name, size_t at) {
      if (!seen.insert(Lower(name)).second) throw TLineError{at, "'" + name + "' is given twice"};
    };
    // The main field: the rest of the line as it stands, or the unnamed tokens.
    size_t from = line.find_first_not_of(" \t", after);
    if (form.restOfLine && from != std::string::npos && line.compare(from, form.main.size() + 1, form.main + "=") != 0) {
      size_t to = line.find_last_not_of(" \t") + 1;
      *static_cast<std::string*>(form.Find(form.main)->at(command)) = ToCp932(line.substr(from, to - from), from);
      return;
    }
    std::vector<TToken> tokens = Tokenize(line, after);
    const size_t first = 0;
    size_t mainBegin = std::string::npos, mainEnd = 0;
    bool namedSeen = false;
    for (size_t t = first; t < tokens.size(); ++t) {
      const TToken& tk = tokens[t];
      bool named = tk.named && (form.Find(tk.name) || (tk.name == "label" && !form.labelField.empty()) ||
                                (form.component && PropertyByName(tk.name) >= 0));
      if (!named && tk.named) {
        // "If=" or "BlockEvents=" would otherwise become part of the unnamed value unnoticed.
        std::string lower = Lower(tk.name);
        for (const TField& f : form.fields)
          if (Lower(f.name) == lower) throw TLineError{tk.begin, "'" + tk.name + "' is written '" + f.name + "'"};
        if (lower == "label" && !form.labelField.empty()) throw TLineError{tk.begin, "'" + tk.name + "' is written 'label'"};
      }
      if (!named) {
        if (form.main.empty()) throw TLineError{tk.begin, kindName + " has no field '" + (tk.named ? tk.name : line.substr(tk.begin, tk.end - tk.begin)) + "'"};
        if (namedSeen) throw TLineError{tk.begin, "the unnamed " + form.main + " comes before the named fields"};
        if (mainBegin == std::string::npos) mainBegin = tk.begin;
        mainEnd = tk.end;
        continue;
      }
      namedSeen = true;
      std::string value = line.substr(tk.valueBegin, tk.end - tk.valueBegin);
      if (form.Find(tk.name) || tk.name == "label") take(tk.name, tk.begin);
      if (tk.name == "label") {
        if (seen.count(Lower(form.labelField))) throw TLineError{tk.begin, "give either label or " + form.labelField};
        seen.insert(Lower(form.labelField));
        parsed_.fixups.push_back({index, "", ToCp932(StringValue(value), tk.valueBegin), 0, ColumnOf(line, tk.begin)});
        continue;
      }
      if (const TField* field = form.Find(tk.name)) {
        if (field->name == form.labelField && seen.count("label")) throw TLineError{tk.begin, "give either label or " + form.labelField};
        if (field->name == form.loopField && !form.loopField.empty()) loopGiven = true;
        SetField(command, *field, value, tk.valueBegin, kindName);
        continue;
      }
      if (!form.component) throw TLineError{tk.begin, kindName + " has no field '" + tk.name + "'"};
      int id = PropertyByName(tk.name);
      take(std::string(PropertyName(id)), tk.begin);
      CompileInto(static_cast<TComComponent&>(command).EnsureProperty(id), ExprValueText(value), tk.valueBegin);
      parsed_.usedMasks[kind].insert(id);
    }
    if (mainBegin != std::string::npos) {
      take(form.main, mainBegin);
      const TField* field = form.Find(form.main);
      std::string text = line.substr(mainBegin, mainEnd - mainBegin);
      SetField(command, *field, text, mainBegin, kindName);
    }
    for (TLabelFixup& f : parsed_.fixups) {
      if (f.command != index) continue;
      f.line = static_cast<int>(index);  // the command's source line is looked up when resolving
      f.page = form.labelPage.empty() ? "" : *static_cast<std::string*>(form.Find(form.labelPage)->at(command));
    }
  }

  void CompileInto(TExpr& expr, const std::string& text, size_t at) {
    try {
      CompileExpr(ToCp932(text, at), expr);
    } catch (const EKivoError& e) {
      throw TLineError{at, "expression '" + text + "': " + Cp932ToUtf8(e.what())};
    }
  }

  void SetField(TCommand& command, const TField& field, const std::string& value, size_t at, const std::string& kindName) {
    int version = parsed_.page->Version();
    if (version < field.gate.since || version > field.gate.until)
      throw TLineError{at, kindName + " stores " + field.name + " only in pages of version " +
                               std::to_string(field.gate.since) + " and later"};
    void* target = field.at(command);
    switch (field.type) {
      case TFieldType::Expr:
        CompileInto(*static_cast<TExpr*>(target), ExprValueText(value), at);
        break;
      case TFieldType::ExprList: {
        auto& list = *static_cast<std::vector<std::unique_ptr<TExpr>>*>(target);
        list.clear();
        for (const std::string& item : ListValueTexts(value)) {
          list.push_back(std::make_unique<TExpr>());
          CompileInto(*list.back(), item, at);
        }
        break;
      }
      case TFieldType::Str:
        *static_cast<std::string*>(target) = value.starts_with("@bytes:") ? StringValue(value) : ToCp932(StringValue(value), at);
        break;
      case TFieldType::Text:
        if (!value.starts_with("@bytes:")) throw TLineError{at, "the text of TextIns is written as '|' lines below it"};
        *static_cast<std::string*>(target) = StringValue(value);
        textGiven_ = true;
        break;
      case TFieldType::Int: {
        int32_t v = 0;
        if (!ParseInt(value, v)) throw TLineError{at, field.name + " takes a whole number"};
        *static_cast<int32_t*>(target) = v;
        break;
      }
      case TFieldType::Byte: {
        int32_t v = ByteValueByName(field.names, value);
        if (v < 0 && (!ParseInt(value, v) || v < 0 || v > 255)) throw TLineError{at, field.name + " takes a byte value"};
        *static_cast<uint8_t*>(target) = static_cast<uint8_t>(v);
        break;
      }
    }
  }

  void TextBlock(TComTextIns& command, const std::vector<std::string>& block, size_t firstLine) {
    if (textGiven_) throw TLineError{0, "TextIns has both text=@bytes and '|' lines"};
    std::vector<std::string> lines;
    for (size_t k = 0; k < block.size(); ++k) {
      if (!IsUtf8RepresentableInCp932(block[k])) {
        Report(static_cast<int>(firstLine + k + 1), 1, "the text has characters without a Shift-JIS form");
        return;
      }
      lines.push_back(Utf8ToCp932(block[k]));
    }
    try {
      command.text = SaveGlyphList(CompileMarkup(lines), format_);
    } catch (const EMarkupError& e) {
      int k = e.Line() - 1;
      int column = e.Column();
      if (k >= 0 && static_cast<size_t>(k) < block.size()) {
        const std::string& source = lines_[firstLine + static_cast<size_t>(k)];
        column += ColumnOf(source, source.find('|') + 1) + (source.find("| ") != std::string::npos ? 1 : 0) - 1;
      }
      Report(static_cast<int>(firstLine + static_cast<size_t>(std::max(k, 0)) + 1), column, Cp932ToUtf8(e.what()));
    } catch (const EKivoError& e) {
      Report(static_cast<int>(firstLine + 1), 1, Cp932ToUtf8(e.what()));
    }
  }

  TGlyphListFormat format_;
  std::vector<TSourceError>& errors_;
  std::vector<std::string> lines_;
  TParsedPage parsed_;
  bool textGiven_ = false;
};

std::vector<int> KindsOf(const TPage& page) {
  std::vector<int> kinds;
  for (int i = 0; i < page.Count(); ++i) kinds.push_back(page.Command(i)->Kind());
  return kinds;
}

std::vector<int32_t> IndentsOf(const TPage& page) {
  std::vector<int32_t> indents;
  for (int i = 0; i < page.Count(); ++i) indents.push_back(page.Command(i)->Indent());
  return indents;
}

int32_t* LoopFieldOf(TCommand& c) {
  const TKindForm& form = KindForm(c.Kind());
  if (form.loop == TLoopIndex::None) return nullptr;
  return static_cast<int32_t*>(form.Find(form.loopField)->at(c));
}

void Finish(TParsedPage& p, std::vector<TSourceError>& errors) {
  TPage& page = *p.page;
  std::vector<int32_t> loops = LoopIndexes(KindsOf(page), IndentsOf(page));
  for (auto [index, given] : p.loopGiven) {
    TCommand& c = *page.Command(static_cast<int>(index));
    int32_t* field = LoopFieldOf(c);
    if (!field || given) continue;
    if (loops[index] == kUnpaired) {
      errors.push_back({p.source->file, p.lines[index], 1,
                        c.Kind() == CK_WHILE ? "this While has no WhileLoop at its indentation after its body"
                                             : "this WhileLoop closes no While at its indentation"});
      continue;
    }
    *field = loops[index];
  }
  for (int kind = 0; kind < kCommandKindCount; ++kind) {
    std::set<int> ids = p.declaredMasks[kind];
    ids.insert(p.usedMasks[kind].begin(), p.usedMasks[kind].end());
    for (int id : ids) MaskSet(page.Mask(kind), id);
  }
  for (int i = 0; i < page.Count(); ++i) {
    auto* component = dynamic_cast<TComComponent*>(page.Command(i));
    if (!component) continue;
    for (int id = 0; id < kPropertyIdCount; ++id)
      if (MaskHas(page.Mask(component->Kind()), id)) component->EnsureProperty(id);
  }
}

}  // namespace

std::vector<std::unique_ptr<TPage>> CompilePages(const std::vector<TPageSource>& sources) {
  std::vector<TSourceError> errors;
  std::vector<TParsedPage> parsed;
  for (const TPageSource& source : sources) {
    TPageCompiler compiler(source, errors);
    parsed.push_back(compiler.Run());
    Finish(parsed.back(), errors);
  }
  for (TParsedPage& p : parsed) {
    for (TLabelFixup& f : p.fixups) {
      int line = p.lines.at(static_cast<size_t>(f.line));
      const TPage* target = nullptr;
      if (f.page.empty() || SamePage(f.page, p.page->Name())) {
        target = p.page.get();
      } else {
        for (const TParsedPage& other : parsed)
          if (SamePage(f.page, other.page->Name())) target = other.page.get();
      }
      if (!target) {
        errors.push_back({p.source->file, line, f.column,
                          "the label is looked up in " + Cp932ToUtf8(f.page) + ", which is not a page of this build"});
        continue;
      }
      int index = target->IndexOfLabel(f.label);
      if (index < 0) {
        errors.push_back({p.source->file, line, f.column,
                          "no label '" + Cp932ToUtf8(f.label) + "' in " + Cp932ToUtf8(target->Name())});
        continue;
      }
      TCommand& c = *p.page->Command(static_cast<int>(f.command));
      const TKindForm& form = KindForm(c.Kind());
      *static_cast<int32_t*>(form.Find(form.labelField)->at(c)) = index;
    }
  }
  if (!errors.empty()) throw ESourceErrors(std::move(errors));
  std::vector<std::unique_ptr<TPage>> pages;
  for (TParsedPage& p : parsed) pages.push_back(std::move(p.page));
  return pages;
}

std::unique_ptr<TPage> CompilePage(const TPageSource& source) { return std::move(CompilePages({source}).front()); }

// ---------------------------------------------------------------------------------------------
// Printing

namespace {

class TPagePrinter {
public:
  static constexpr int kMaxGap = 200;

  TPagePrinter(const TPage& page, const TPageFinder& find) : page_(page), find_(find) {}

  std::string Run() {
    Header();
    loops_ = LoopIndexes(KindsOf(page_), IndentsOf(page_));
    for (int i = 0; i < page_.Count(); ++i) Command(i);
    std::string text;
    for (const std::string& l : out_) text += l + "\n";
    return text;
  }

private:
  void Header() {
    if (page_.Version() != kDefaultVersion || page_.ResultType() != 0) {
      std::string line = "Page";
      if (page_.Version() != kDefaultVersion) line += " version=" + std::to_string(page_.Version());
      if (page_.ResultType() != 0) line += " result=" + ByteValueName(TByteNames::Type, page_.ResultType());
      out_.push_back(line);
    }
    for (int kind = 0; kind < kCommandKindCount; ++kind) {
      TPropertyMask used{};
      for (int i = 0; i < page_.Count(); ++i) {
        auto* c = dynamic_cast<const TComComponent*>(page_.Command(i));
        if (!c || c->Kind() != kind) continue;
        for (int id = 0; id < kPropertyIdCount; ++id)
          if (c->Property(id) && !c->Property(id)->Empty()) MaskSet(used, id);
      }
      std::string line;
      for (int id = 0; id < kPropertyIdCount; ++id)
        if (MaskHas(page_.Mask(kind), id) && !MaskHas(used, id)) line += " " + std::string(PropertyName(id));
      if (!line.empty()) out_.push_back("Mask " + std::string(CommandKindName(kind)) + line);
    }
  }

  // The printed expression in UTF-8; the raw notation when the text would not read back.
  static std::string Expr(const TExpr& e) {
    std::string text = PrintExpr(e), utf8;
    if (ReadsBack(text, utf8)) return utf8;
    return kRawPrefix + HexOf(ExprBytes(e));
  }

  static std::string Str(const std::string& s) {
    std::string utf8;
    return ReadsBack(s, utf8) ? SpellString(utf8) : SpellBytes(s);
  }

  // Whether text as the unnamed value reads back as exactly that one value.
  static bool FitsMain(const std::string& text, const TKindForm& form) {
    if (text.empty() || text.front() == ' ' || text.back() == ' ' || text.front() == '{') return false;
    try {
      for (const TToken& t : Tokenize(text, 0))
        if (t.named && (form.Find(t.name) || (t.name == "label" && !form.labelField.empty()) ||
                        (form.component && PropertyByName(t.name) >= 0)))
          return false;
    } catch (const TLexError&) {
      return false;
    }
    return true;
  }

  static bool FitsRest(const std::string& text, const TKindForm& form) {
    return !text.empty() && text.front() != ' ' && text.front() != '\t' && text.back() != ' ' && text.back() != '\t' &&
           text.find_first_of("\r\n") == std::string::npos && !text.starts_with(form.main + "=");
  }

  const TPage* PageNamed(const std::string& name) const {
    if (name.empty() || SamePage(name, page_.Name())) return &page_;
    return find_ ? find_(name) : nullptr;
  }

  void Command(int i) {
    TCommand& c = *page_.Command(i);
    const TKindForm& form = KindForm(c.Kind());
    int lineNumber = static_cast<int>(out_.size()) + 1;
    // Blank lines bring the command to its stored line when that is a little further down.
    if (c.Line() > lineNumber && c.Line() - lineNumber <= kMaxGap) {
      out_.resize(static_cast<size_t>(c.Line() - 1));
      lineNumber = c.Line();
    }
    std::string line;
    bool indentShown = c.Indent() >= 0 && c.Indent() <= 64;
    if (indentShown) line.assign(static_cast<size_t>(c.Indent()) * 2, ' ');
    else line += "indent=" + std::to_string(c.Indent()) + " ";
    if (c.StoredDisabled()) line += "disabled ";
    if (!c.StoredContinue()) line += "yield ";
    if (c.Line() != lineNumber) line += "line=" + std::to_string(c.Line()) + " ";
    line += std::string(CommandKindName(c.Kind()));

    std::vector<std::string> named;
    std::string main;
    std::vector<std::string> block;
    for (const TField& field : form.fields) {
      if (page_.Version() < field.gate.since || page_.Version() > field.gate.until) continue;
      void* at = field.at(c);
      std::string value;  // "" leaves the field out
      bool isMain = field.name == form.main;
      switch (field.type) {
        case TFieldType::Expr: {
          const TExpr& e = *static_cast<const TExpr*>(at);
          if (e.Empty()) break;
          std::string text = Expr(e);
          if (isMain && FitsMain(text, form)) main = text;
          else value = SpellExprValue(text);
          break;
        }
        case TFieldType::ExprList: {
          const auto& list = *static_cast<const std::vector<std::unique_ptr<TExpr>>*>(at);
          if (list.empty()) break;
          value = "(";
          for (size_t k = 0; k < list.size(); ++k) {
            std::string text = list[k]->Empty() ? std::string(kRawPrefix) + "00000000" : Expr(*list[k]);
            value += (k ? ", " : "") + (IsOneToken(text) && text.find(',') == std::string::npos ? text : "{" + text + "}");
          }
          value += ")";
          break;
        }
        case TFieldType::Str: {
          const std::string& s = *static_cast<const std::string*>(at);
          if (s.empty()) break;
          std::string utf8;
          if (isMain && form.restOfLine && ReadsBack(s, utf8) && FitsRest(utf8, form))
            main = utf8;
          else if (isMain && !form.restOfLine && ReadsBack(s, utf8) && SpellString(utf8) == utf8 && FitsMain(utf8, form))
            main = utf8;
          else
            value = Str(s);
          break;
        }
        case TFieldType::Text: {
          const std::string& bytes = *static_cast<const std::string*>(at);
          if (bytes.empty()) break;
          if (!TextBlock(bytes, block)) value = SpellBytes(bytes);
          break;
        }
        case TFieldType::Int: {
          int32_t v = *static_cast<const int32_t*>(at);
          if (field.name == form.loopField) {
            if (loops_[static_cast<size_t>(i)] != v) value = std::to_string(v);
          } else if (field.name == form.labelField && Label(c, form, v, named)) {
          } else if (v != 0) {
            value = std::to_string(v);
          }
          break;
        }
        case TFieldType::Byte: {
          int v = *static_cast<const uint8_t*>(at);
          if (v != 0) value = ByteValueName(field.names, v);
          break;
        }
      }
      if (!value.empty()) named.push_back(field.name + "=" + value);
    }
    if (auto* component = dynamic_cast<const TComComponent*>(&c)) {
      for (int id = 0; id < kPropertyIdCount; ++id) {
        const TExpr* e = component->Property(id);
        if (e && !e->Empty()) named.push_back(std::string(PropertyName(id)) + "=" + SpellExprValue(Expr(*e)));
      }
    }
    if (!main.empty()) line += " " + main;
    for (const std::string& n : named) line += " " + n;
    out_.push_back(line);
    std::string pad = indentShown ? std::string(static_cast<size_t>(c.Indent()) * 2 + 2, ' ') : "  ";
    for (const std::string& b : block) out_.push_back(pad + (b.empty() ? "|" : "| " + b));
  }

  // "label=NAME" when the index is the first label of that name on the page the command names.
  bool Label(TCommand& c, const TKindForm& form, int32_t index, std::vector<std::string>& named) {
    const std::string& pageName = *static_cast<const std::string*>(form.Find(form.labelPage)->at(c));
    const TPage* target = PageNamed(pageName);
    if (!target || index < 0 || index >= target->Count()) return false;
    auto* label = dynamic_cast<const TComLabel*>(target->Command(index));
    std::string utf8;
    if (!label || label->name.empty() || target->IndexOfLabel(label->name) != index || !ReadsBack(label->name, utf8))
      return false;
    named.push_back("label=" + SpellString(utf8));
    return true;
  }

  // The markup lines of a glyph list when printing them reads back to the same bytes.
  static bool TextBlock(const std::string& bytes, std::vector<std::string>& block) {
    std::optional<TPrintedGlyphList> printed;
    try {
      printed = PrintGlyphListExactly(bytes);
    } catch (const EKivoError&) {
      return false;
    }
    if (!printed || printed->Lines.empty() || !(printed->Format == TGlyphListFormat{})) return false;
    for (const std::string& l : printed->Lines) {
      std::string utf8;
      if (!ReadsBack(l, utf8) || utf8.find_first_of("\r\n") != std::string::npos) return false;
      block.push_back(utf8);
    }
    return true;
  }

  const TPage& page_;
  const TPageFinder& find_;
  std::vector<int32_t> loops_;
  std::vector<std::string> out_;
};

}  // namespace

std::string PrintPage(const TPage& page, const TPageFinder& findPage) { return TPagePrinter(page, findPage).Run(); }

}  // namespace kivo::scenario
