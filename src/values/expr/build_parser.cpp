// The expression compiler: text to build form in passes, build form to run-form bytes.
#include "values/expr/build_parser.h"

#include <cstdlib>
#include <string_view>
#include <unordered_map>

#include "platform/kivo_error.h"
#include "support/binary_io.h"
#include "support/sjis.h"
#include "values/expr/expr_errors.h"
#include "values/expr/operand_text.h"
#include "values/functions/function_table.h"

namespace kivo {

namespace {

// Recursion only nests one level per grouping or argument inside an innermost construct, so a
// deep chain means hostile text.
constexpr int kMaxDepth = 256;

[[noreturn]] void SyntaxError() { throw EKivoError(std::string(kSyntaxError)); }

bool IsSpace(char c) { return static_cast<uint8_t>(c) <= 0x20; }
bool IsIdentChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsOperatorChar(char c) { return std::string_view("%&*+-/<=>^|").find(c) != std::string_view::npos; }
bool IsSpecialChar(char c) { return std::string_view("+-*/%|&^=[](),<>").find(c) != std::string_view::npos; }

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

// Marks the trail bytes of double-byte characters, whose values may look like "[", "]", "^",
// "|", "\\" or letters and must never be read as such.
std::string TrailMask(std::string_view s) {
  std::string mask(s.size(), '\0');
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (n == 2) mask[i + 1] = 1;
    i += n;
  }
  return mask;
}

}  // namespace

// The text being rewritten, with its trail-byte marks kept in step: every cut ends on character
// boundaries and every insertion is an ASCII temporary name, so the marks outside a cut stay valid.
struct TExprText {
  std::string s;
  std::string mask;

  explicit TExprText(std::string text) : s(std::move(text)), mask(TrailMask(s)) {}
  bool Is(size_t i, char c) const { return s[i] == c && !mask[i]; }
  // Replaces s[from, to) by a temporary's name.
  void Splice(size_t from, size_t to, const std::string& name) {
    s.replace(from, to - from, name);
    mask.replace(from, to - from, name.size(), '\0');
  }
};

namespace {

// Raises unless every opener has its closer; the passes cut balanced pieces only, so one check
// at the start of a pass covers all its rounds.
void CheckBalanced(const TExprText& t, char open, char close) {
  int64_t depth = 0;
  for (size_t i = 0; i < t.s.size(); ++i) {
    if (t.Is(i, open)) ++depth;
    if (t.Is(i, close) && --depth < 0) SyntaxError();
  }
  if (depth != 0) SyntaxError();
}

// The closer that matches the opener at p (the text is balanced).
size_t MatchForward(const TExprText& t, size_t p, char open, char close) {
  int64_t depth = 0;
  for (size_t i = p; i < t.s.size(); ++i) {
    if (t.Is(i, open)) ++depth;
    if (t.Is(i, close) && --depth == 0) return i;
  }
  SyntaxError();
}

// The nearest non-space byte before offset p, or npos.
size_t NonSpaceBefore(std::string_view s, size_t p) {
  while (p > 0) {
    --p;
    if (!IsSpace(s[p])) return p;
  }
  return std::string_view::npos;
}

bool ContainsSpecial(std::string_view s) {
  std::string mask = TrailMask(s);
  for (size_t i = 0; i < s.size(); ++i) {
    if (!mask[i] && IsSpecialChar(s[i])) return true;
  }
  return false;
}

// Removes parentheses that enclose the whole text, as often as they do.
std::string StripEnclosingParens(const std::string& text) {
  TExprText t(text);
  // The partner of every "(" that has one, found once for all layers.
  std::vector<size_t> partner(t.s.size(), std::string::npos), open;
  for (size_t i = 0; i < t.s.size(); ++i) {
    if (t.Is(i, '(')) {
      open.push_back(i);
    } else if (t.Is(i, ')') && !open.empty()) {
      partner[open.back()] = i;
      open.pop_back();
    }
  }
  size_t b = 0, e = t.s.size();
  while (e - b >= 2 && t.Is(b, '(') && t.Is(e - 1, ')') && partner[b] == e - 1) {
    ++b, --e;
    while (b < e && IsSpace(t.s[b])) ++b;
    while (e > b && IsSpace(t.s[e - 1])) --e;
  }
  return t.s.substr(b, e - b);
}

int LevelOf(std::string_view op) {
  if (op == "*" || op == "/" || op == "%") return 1;
  if (op == "+" || op == "-") return 2;
  if (op == "<<" || op == ">>") return 3;
  if (op == "==" || op == ">=" || op == "<=" || op == ">" || op == "<" || op == "<>") return 4;
  if (op == "++") return 5;
  if (op == "&") return 6;
  if (op == "^") return 7;
  if (op == "|") return 8;
  if (op == "=") return 9;
  return 0;
}

uint8_t OpTypeOf(std::string_view op) {
  struct Entry { std::string_view text; uint8_t code; };
  static constexpr Entry kOps[] = {
      {"=", ocTo},      {"+", ocPlus},     {"-", ocMinus},   {"*", ocMul},       {"/", ocDiv},
      {"%", ocMod},     {"|", ocOr},       {"&", ocAnd},     {"^", ocXor},       {"==", ocEqual},
      {">", ocBig},     {"<", ocSmall},    {">=", ocEBig},   {"<=", ocESmall},   {"<<", ocShiftL},
      {">>", ocShiftR}, {"++", ocComboStr}, {"<>", ocNEqual}};
  for (const Entry& e : kOps) {
    if (e.text == op) return e.code;
  }
  return ocNone;
}

bool IsOperatorToken(std::string_view t) { return !t.empty() && IsOperatorChar(t[0]); }

std::vector<std::string> Tokenize(std::string_view s) {
  static constexpr std::string_view kTwoChar[] = {"==", ">=", "<=", "++", "<>", "<<", ">>"};
  std::vector<std::string> tokens;
  size_t start = 0;
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (n == 1 && IsOperatorChar(s[i])) {
      std::string operand = Trim(s.substr(start, i - start));
      if (!operand.empty()) tokens.push_back(std::move(operand));
      size_t len = 1;
      if (i + 1 < s.size()) {
        for (std::string_view two : kTwoChar) {
          if (s.substr(i, 2) == two) len = 2;
        }
      }
      tokens.emplace_back(s.substr(i, len));
      i += len;
      start = i;
    } else {
      i += n;
    }
  }
  std::string last = Trim(s.substr(start));
  if (!last.empty()) tokens.push_back(std::move(last));
  return tokens;
}

}  // namespace

std::string TBuildKivoParser::NewTemp() { return std::string(kTempPrefix) + std::to_string(counter_++); }
std::string TBuildKivoParser::NewDimTemp() { return std::string(kDimTempPrefix) + std::to_string(counter_++); }

void TBuildKivoParser::Compile(const std::string& text) {
  ops_.clear();
  if (text.size() > kMaxTextLength) SyntaxError();
  CompileText(text, 0);
  RemoveTempCopies();
}

void TBuildKivoParser::CompileText(std::string text, int depth) {
  if (depth > kMaxDepth) SyntaxError();
  CutStringLiterals(text);
  TExprText t(std::move(text));
  CutFunctionCalls(t, depth);
  CutArrayElements(t, depth);
  CutGroups(t, depth);
  std::vector<std::string> tokens = Tokenize(t.s);
  if (tokens.empty()) {
    ops_.push_back({ocTo, std::string(kArgTemp), {t.s}});
    return;
  }
  // Signs: "+" or "-" after an operator (or an opening bracket or comma) is a sign. Walked from
  // the second-to-last token down to the second; deleted tokens are skipped through the links.
  const size_t n = tokens.size();
  std::vector<size_t> next(n);
  std::vector<char> gone(n, 0);
  for (size_t i = 0; i < n; ++i) next[i] = i + 1;
  for (size_t i = n >= 2 ? n - 2 : 0; i >= 1 && n >= 3; --i) {
    const std::string& t0 = tokens[i];
    if ((t0 == "+" || t0 == "-") && std::string_view("=+-*/%&^|[(,<>").find(tokens[i - 1][0]) != std::string_view::npos) {
      size_t following = next[i];
      if (t0 == "-") {
        std::string temp = NewTemp();
        ops_.push_back({ocMinus, temp, {"0", tokens[following]}});
        tokens[following] = temp;
      }
      gone[i] = 1;
      next[i - 1] = following;
    }
  }
  std::vector<std::string> kept;
  kept.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    if (!gone[i]) kept.push_back(std::move(tokens[i]));
  }
  Reduce(kept);
}

void TBuildKivoParser::CutStringLiterals(std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t n = SjisCharLength(text, i);
    if (n == 2 || text[i] != '"') {
      out.append(text, i, n);
      i += n;
      continue;
    }
    std::string literal = "\"";
    size_t j = i + 1;
    bool closed = false;
    while (j < text.size()) {
      size_t m = SjisCharLength(text, j);
      char c = text[j];
      if (m == 1 && c == '"') {
        closed = true;
        ++j;
        break;
      }
      if (m == 1 && c == '\\' && j + 1 < text.size()) {
        char d = text[j + 1];
        if (d == '"' || d == '\\') {
          literal += d;
          j += 2;
          continue;
        }
        if (d == 'n') {
          literal += "\r\n";
          j += 2;
          continue;
        }
      }
      literal.append(text, j, m);
      j += m;
    }
    if (!closed) SyntaxError();
    literal += '"';
    std::string temp = NewTemp();
    ops_.push_back({ocTo, temp, {std::move(literal)}});
    out += temp;
    i = j;
  }
  text = std::move(out);
}

void TBuildKivoParser::CutFunctionCalls(TExprText& t, int depth) {
  CheckBalanced(t, '(', ')');
  // A call is a "(" whose nearest non-space byte before it is an identifier character; the last
  // one is cut first. After a cut, later candidates can only be a "(" right after the new name,
  // and earlier ones are found by scanning back from the cut.
  auto isCall = [&t](size_t p) {
    size_t k = NonSpaceBefore(t.s, p);
    return k != std::string_view::npos && !t.mask[k] && IsIdentChar(t.s[k]);
  };
  size_t scan = t.s.size();
  for (;;) {
    size_t p = std::string::npos;
    while (scan-- > 0) {
      if (t.Is(scan, '(') && isCall(scan)) {
        p = scan;
        break;
      }
    }
    if (p == std::string::npos) return;
    size_t start = NonSpaceBefore(t.s, p);
    while (start > 0 && !t.mask[start - 1] && IsIdentChar(t.s[start - 1])) --start;
    size_t close = MatchForward(t, p, '(', ')');
    std::string name = Trim(std::string_view(t.s).substr(start, p - start));

    // Arguments split at commas outside square brackets.
    std::vector<std::string> pieces;
    std::string_view inner = std::string_view(t.s).substr(p + 1, close - p - 1);
    if (!Trim(inner).empty()) {
      int64_t brackets = 0;
      size_t from = p + 1;
      for (size_t i = p + 1; i < close; ++i) {
        if (t.Is(i, '[')) ++brackets;
        if (t.Is(i, ']') && --brackets < 0) SyntaxError();
        if (t.Is(i, ',') && brackets == 0) {
          pieces.push_back(Trim(std::string_view(t.s).substr(from, i - from)));
          from = i + 1;
        }
      }
      if (brackets != 0) SyntaxError();
      pieces.push_back(Trim(std::string_view(t.s).substr(from, close - from)));
    }

    TBuildOpeData op{ocFunc, NewTemp(), {name}};
    t.Splice(start, close + 1, op.Dest);
    for (std::string& piece : pieces) op.Args.push_back(Operand(std::move(piece), depth));
    ops_.push_back(std::move(op));

    size_t after = start + ops_.back().Dest.size();
    while (after < t.s.size() && IsSpace(t.s[after])) ++after;
    scan = after < t.s.size() && t.Is(after, '(') ? after + 1 : start;
  }
}

void TBuildKivoParser::CutArrayElements(TExprText& t, int depth) {
  CheckBalanced(t, '[', ']');
  // The last "[" first; nothing after a cut holds another "[".
  size_t scan = t.s.size();
  for (;;) {
    size_t p = std::string::npos;
    while (scan-- > 0) {
      if (t.Is(scan, '[')) {
        p = scan;
        break;
      }
    }
    if (p == std::string::npos) return;
    size_t k = NonSpaceBefore(t.s, p);
    if (k == std::string_view::npos || (!t.mask[k] && IsSpecialChar(t.s[k]))) SyntaxError();
    size_t start = k;
    while (start > 0 && (t.mask[start - 1] || !(IsSpace(t.s[start - 1]) || IsSpecialChar(t.s[start - 1])))) --start;
    size_t close = MatchForward(t, p, '[', ']');
    std::string name = t.s.substr(start, k + 1 - start);
    std::string indexText = t.s.substr(p + 1, close - p - 1);
    if (Trim(indexText).empty()) throw EKivoError(std::string(kBadIndexList));

    TBuildOpeData op{ocDimTo, NewDimTemp(), {name}};
    t.Splice(start, close + 1, op.Dest);
    size_t from = 0;
    for (size_t i = 0; i <= indexText.size(); ++i) {
      if (i == indexText.size() || indexText[i] == ',') {
        op.Args.push_back(Operand(Trim(std::string_view(indexText).substr(from, i - from)), depth));
        from = i + 1;
      }
    }
    ops_.push_back(std::move(op));
    scan = start;
  }
}

void TBuildKivoParser::CutGroups(TExprText& t, int depth) {
  CheckBalanced(t, '(', ')');
  // The last "(" that does not follow an identifier; a cut leaves no such "(" after it.
  size_t scan = t.s.size();
  for (;;) {
    size_t p = std::string::npos;
    while (scan-- > 0) {
      if (!t.Is(scan, '(')) continue;
      size_t k = NonSpaceBefore(t.s, scan);
      if (k != std::string_view::npos && !t.mask[k] && IsIdentChar(t.s[k])) continue;
      p = scan;
      break;
    }
    if (p == std::string::npos) return;
    size_t close = MatchForward(t, p, '(', ')');
    std::string inner = t.s.substr(p + 1, close - p - 1);
    std::string temp = NewTemp();
    t.Splice(p, close + 1, temp);
    CompileText(temp + " = " + inner, depth + 1);
    scan = p;
  }
}

std::string TBuildKivoParser::Operand(std::string text, int depth) {
  text = StripEnclosingParens(std::move(text));
  if (text.empty() || !ContainsSpecial(text)) return text;
  std::string temp = NewTemp();
  CompileText(temp + " = " + text, depth + 1);
  return temp;
}

void TBuildKivoParser::Reduce(std::vector<std::string>& tokens) {
  // The leftmost operator of the highest level present is reduced first, again and again. A
  // reduction never makes an operator, so this is: level 1 to 9, each level's operators from
  // left to right, over a linked token list.
  const size_t n = tokens.size();
  constexpr size_t kNone = static_cast<size_t>(-1);
  std::vector<size_t> prev(n), next(n);
  std::vector<std::vector<size_t>> byLevel(10);
  for (size_t i = 0; i < n; ++i) {
    prev[i] = i == 0 ? kNone : i - 1;
    next[i] = i + 1 == n ? kNone : i + 1;
    if (IsOperatorToken(tokens[i])) byLevel[static_cast<size_t>(LevelOf(tokens[i]))].push_back(i);
  }
  if (!byLevel[0].empty()) SyntaxError();  // not an operator of the language
  size_t first = 0;
  size_t alive = n;
  auto unlink = [&](size_t i) {
    if (prev[i] != kNone) next[prev[i]] = next[i];
    else first = next[i];
    if (next[i] != kNone) prev[next[i]] = prev[i];
    --alive;
  };
  bool assigned = false;
  for (size_t level = 1; level <= 9; ++level) {
    for (size_t i : byLevel[level]) {
      size_t left = prev[i], right = next[i];
      if (right == kNone || IsOperatorToken(tokens[right])) SyntaxError();
      uint8_t code = OpTypeOf(tokens[i]);
      if (code == ocTo) {
        if (left == kNone || IsOperatorToken(tokens[left])) SyntaxError();
        ops_.push_back({ocTo, tokens[left], {tokens[right]}});
        unlink(left);
        unlink(i);
        unlink(right);
        assigned = true;
      } else if (left != kNone) {
        if (std::string_view("+-*/%|&^=[(<>").find(tokens[left][0]) != std::string_view::npos) SyntaxError();
        std::string temp = NewTemp();
        ops_.push_back({code, temp, {tokens[left], tokens[right]}});
        tokens[left] = std::move(temp);
        unlink(i);
        unlink(right);
      } else {
        if (code != ocPlus && code != ocMinus) SyntaxError();
        std::string temp = NewTemp();
        ops_.push_back({code, temp, {"0", tokens[right]}});
        tokens[i] = std::move(temp);
        unlink(right);
      }
    }
  }
  // Only a bare operand may remain, and only in an expression without assignment.
  if (alive == 0) return;
  if (assigned || alive > 1) SyntaxError();
  ops_.push_back({ocTo, std::string(kArgTemp), {tokens[first]}});
}

void TBuildKivoParser::RemoveTempCopies() {
  // A copy between temporaries is dropped and later uses of its destination take its source.
  // Walking forward with the renames made so far gives the same list as rewriting every later
  // operation at each copy.
  auto plainTemp = [](std::string_view s) {
    return s.starts_with(kTempPrefix) && !s.starts_with(kDimTempPrefix) && s != kArgTemp;
  };
  std::unordered_map<std::string, std::string> renamed;
  auto resolve = [&renamed](std::string& name) {
    for (auto found = renamed.find(name); found != renamed.end(); found = renamed.find(name)) name = found->second;
  };
  std::vector<TBuildOpeData> kept;
  kept.reserve(ops_.size());
  for (TBuildOpeData& op : ops_) {
    if (!renamed.empty()) {
      resolve(op.Dest);
      for (std::string& a : op.Args) resolve(a);
    }
    if (op.OpType == ocTo && op.Args.size() == 1 && plainTemp(op.Dest) && plainTemp(op.Args[0])) {
      if (op.Dest != op.Args[0]) renamed[op.Dest] = op.Args[0];
      continue;
    }
    kept.push_back(std::move(op));
  }
  ops_ = std::move(kept);
}

void TBuildKivoParser::WriteRunForm(TStream& stream) const {
  // Checked in full before the first byte, so a failed conversion leaves the stream untouched.
  std::vector<int> funcIds(ops_.size(), -1);
  for (size_t i = 0; i < ops_.size(); ++i) {
    const TBuildOpeData& op = ops_[i];
    if (op.OpType != ocFunc) continue;
    const std::string name = op.Args.empty() ? std::string() : op.Args[0];
    int id = FindSysFunc(name);
    if (id < 0) throw EKivoError(NoSuchFunctionText(name));
    if (!SysFuncArgCountFits(id, static_cast<int>(op.Args.size()) - 1)) {
      throw EKivoError(BadArgCountText(SysFuncInfo(id).Name));
    }
    funcIds[i] = id;
  }

  TMemoryStream buffer;
  TBinaryWriter w(buffer);
  w.Int32(static_cast<int32_t>(ops_.size()));
  for (size_t i = 0; i < ops_.size(); ++i) {
    const TBuildOpeData& op = ops_[i];
    w.Byte(op.OpType);
    w.String(op.Dest);
    size_t first = op.OpType == ocFunc ? 1 : 0;
    w.Int32(static_cast<int32_t>(op.Args.size() - first));
    if (op.OpType == ocFunc) w.Byte(static_cast<uint8_t>(funcIds[i]));
    for (size_t a = first; a < op.Args.size(); ++a) WriteOperandText(w, op.Args[a]);
  }
  stream.WriteBuffer(buffer.Memory(), buffer.Size());
}

}  // namespace kivo
