// The markup tokenizer: one pass over the bytes, double-byte characters taken whole.
#include "render/text/markup_tokenizer.h"

#include <cstdint>

#include "render/text/markup_text.h"
#include "support/sjis.h"

namespace kivo {

namespace {

constexpr char kCR = '\r';

class TTokenizer {
public:
  TTokenizer(std::string_view text, std::vector<TQuotedRun>* quotedRuns) : text_(text), quotedRuns_(quotedRuns) {}

  std::vector<TMarkupToken> Run() {
    while (pos_ < text_.size()) Step();
    EmitIfAny();
    return std::move(tokens_);
  }

private:
  bool Verbatim() const { return pre_ || textArea_ || script_ > 0; }

  void Append(std::string_view bytes) {
    if (token_.empty()) tokenStart_ = pos_;
    token_.append(bytes);
  }
  void Append(char c) { Append(std::string_view(&c, 1)); }
  void Emit() {
    tokens_.push_back({std::move(token_), tokenStart_});
    token_.clear();
  }
  void EmitIfAny() {
    if (!token_.empty()) Emit();
  }
  bool EndsWithSpace() const { return !token_.empty() && token_.back() == ' '; }

  // The marker among these that the text at the current position starts with, ignoring case.
  std::string_view MarkerHere(std::initializer_list<std::string_view> markers) const {
    for (std::string_view m : markers)
      if (StartsWithNoCase(text_.substr(pos_), m)) return m;
    return {};
  }

  void Step() {
    size_t length = SjisCharLength(text_, pos_);
    std::string_view here = text_.substr(pos_, length);
    if (length == 2) {
      // A double-byte character is text in every mode; its trail byte is never a mark.
      Append(here);
      pos_ += 2;
      return;
    }
    char c = text_[pos_];
    if (inQuote_) {
      if (TQuotedRun* run = TextQuote()) {
        if (c == '<' || c == '>') run->HasBracket = true;
        if (c == '"') run->Closed = true;
      }
      if (c == '"') {
        inQuote_ = false;
        textQuote_ = kNone;
      }
      if (c != '\r' && c != '\n' && c != '\t') Append(c);
      ++pos_;
      return;
    }
    if (std::string_view m = MarkerHere({"<!--", "<SCRIPT", "<STYLE"}); !m.empty()) {
      if (commentDepth_ == 0) EmitIfAny();
      Append(text_.substr(pos_, m.size()));
      ++commentDepth_;
      pos_ += m.size();
      return;
    }
    if (std::string_view m = MarkerHere({"-->", "</SCRIPT>", "</STYLE>"}); !m.empty()) {
      if (commentDepth_ > 0) --commentDepth_;
      Append(text_.substr(pos_, m.size()));
      pos_ += m.size();
      if (commentDepth_ == 0) Emit();
      return;
    }
    if (commentDepth_ > 0) {
      Append(c);
      if (c == kCR) Append('\n');
      ++pos_;
      return;
    }
    switch (c) {
      case '<':
        if (tagDepth_ == 0) EmitIfAny();
        Append(c);
        ++tagDepth_;
        ++pos_;
        return;
      case '>':
        if (tagDepth_ > 0) {
          Append(c);
          ++pos_;
          if (--tagDepth_ == 0) CloseTag();
          return;
        }
        break;
      case '\\':
        Escape();
        return;
      case kCR:
        LineEnd();
        ++pos_;
        return;
      case '\x14':
        if (Verbatim() || !EndsWithSpace()) Append(' ');
        ++pos_;
        return;
      case '\t':
        if (Verbatim()) Append("        ");
        ++pos_;
        return;
      case '"':
        Append(c);
        inQuote_ = true;
        if (quotedRuns_ != nullptr && tagDepth_ == 0) {
          textQuote_ = quotedRuns_->size();
          quotedRuns_->push_back({pos_, false, false});
        }
        ++pos_;
        return;
      default:
        break;
    }
    if (!(c == ' ' && EndsWithSpace())) Append(c);
    ++pos_;
  }

  void CloseTag() {
    Emit();
    const std::string& tag = tokens_.back().Text;
    bool closesBlock = false;
    if (StartsWithNoCase(tag, "</PRE") && !textArea_) {
      pre_ = false;
      closesBlock = true;
    } else if (StartsWithNoCase(tag, "<PRE") && !textArea_) {
      pre_ = true;
      SkipCR();
    } else if (StartsWithNoCase(tag, "</TEXTAREA") && !pre_) {
      textArea_ = false;
      closesBlock = true;
    } else if (StartsWithNoCase(tag, "<TEXTAREA") && !pre_) {
      textArea_ = true;
      SkipCR();
    } else if (StartsWithNoCase(tag, "</SCRIPT")) {
      --script_;
    } else if (StartsWithNoCase(tag, "<SCRIPT")) {
      ++script_;
    }
    // The line end just before the closing tag belongs to the block's layout, not to the text.
    if (closesBlock && tokens_.size() >= 2 && tokens_[tokens_.size() - 2].Text == "<BR>")
      tokens_.erase(tokens_.end() - 2);
  }

  void SkipCR() {
    if (pos_ < text_.size() && text_[pos_] == kCR) ++pos_;
  }

  void Escape() {
    ++pos_;  // the backslash itself is dropped
    if (pos_ >= text_.size()) return;
    char next = text_[pos_];
    switch (next) {
      case '"': case '%': case '<': case '>': case '\\': case '{': case '}':
        Append(next);
        ++pos_;
        if (next == '<' || next == '>') Emit();
        return;
      default:
        return;
    }
  }

  void LineEnd() {
    if (tagDepth_ == 0 && Verbatim()) {
      EmitIfAny();
      if (pre_) tokens_.push_back({"<BR>", pos_});
      return;
    }
    // Line ends inside text and tags read as one space, collapsed with the spaces around them.
    if (!token_.empty() && !EndsWithSpace()) Append(' ');
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string token_;
  size_t tokenStart_ = 0;
  std::vector<TMarkupToken> tokens_;
  int tagDepth_ = 0;
  int commentDepth_ = 0;
  bool pre_ = false;
  bool textArea_ = false;
  int script_ = 0;
  bool inQuote_ = false;
  static constexpr size_t kNone = static_cast<size_t>(-1);
  TQuotedRun* TextQuote() { return textQuote_ == kNone ? nullptr : &(*quotedRuns_)[textQuote_]; }
  std::vector<TQuotedRun>* quotedRuns_;
  size_t textQuote_ = kNone;  // index of the open run in quotedRuns_, if any
};

}  // namespace

std::string JoinMarkupLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += kCR;
    joined += lines[i];
  }
  return joined;
}

std::vector<TMarkupToken> TokenizeMarkup(std::string_view text, std::vector<TQuotedRun>* quotedRuns) {
  return TTokenizer(text, quotedRuns).Run();
}

}  // namespace kivo
