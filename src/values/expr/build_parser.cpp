// The expression compiler: text to build form in passes, build form to run-form bytes.
#include "values/expr/build_parser.h"

#include <cstdlib>
#include <string_view>

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
// "|", "\" or letters and must never be read as such.
std::vector<char> TrailMask(std::string_view s) {
  std::vector<char> mask(s.size(), 0);
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (n == 2) mask[i + 1] = 1;
    i += n;
  }
  return mask;
}

// The byte offset of the matching closer for every opener (npos for others); raises on
// unbalanced text.
std::vector<size_t> PairUp(std::string_view s, const std::vector<char>& mask, char open, char close) {
  std::vector<size_t> match(s.size(), std::string_view::npos);
  std::vector<size_t> stack;
  for (size_t i = 0; i < s.size(); ++i) {
    if (mask[i]) continue;
    if (s[i] == open) {
      stack.push_back(i);
    } else if (s[i] == close) {
      if (stack.empty()) SyntaxError();
      match[stack.back()] = i;
      stack.pop_back();
    }
  }
  if (!stack.empty()) SyntaxError();
  return match;
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
  std::vector<char> mask = TrailMask(s);
  for (size_t i = 0; i < s.size(); ++i) {
    if (!mask[i] && IsSpecialChar(s[i])) return true;
  }
  return false;
}

// Removes parentheses that enclose the whole text, as often as they do.
std::string StripEnclosingParens(std::string s) {
  while (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    std::vector<char> mask = TrailMask(s);
    int depth = 1;
    bool enclosing = true;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
      if (mask[i]) continue;
      if (s[i] == '(') ++depth;
      if (s[i] == ')' && --depth == 0) {
        enclosing = false;
        break;
      }
    }
    if (!enclosing) break;
    s = Trim(std::string_view(s).substr(1, s.size() - 2));
  }
  return s;
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
  while (CutFunctionCall(text, depth)) {
  }
  while (CutArrayElement(text, depth)) {
  }
  while (CutGroup(text, depth)) {
  }
  std::vector<std::string> tokens = Tokenize(text);
  if (tokens.empty()) {
    ops_.push_back({ocTo, std::string(kArgTemp), {text}});
    return;
  }
  // Signs: an operator after another operator (or an opening bracket or comma) is a sign.
  for (size_t i = tokens.size() >= 2 ? tokens.size() - 2 : 0; i >= 1 && i + 1 < tokens.size(); --i) {
    const std::string& t = tokens[i];
    if ((t == "+" || t == "-") && std::string_view("=+-*/%&^|[(,<>").find(tokens[i - 1][0]) != std::string_view::npos) {
      if (t == "-") {
        std::string temp = NewTemp();
        ops_.push_back({ocMinus, temp, {"0", tokens[i + 1]}});
        tokens[i + 1] = temp;
      }
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  Reduce(tokens);
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

bool TBuildKivoParser::CutFunctionCall(std::string& text, int depth) {
  std::vector<char> mask = TrailMask(text);
  std::vector<size_t> match = PairUp(text, mask, '(', ')');
  for (size_t p = text.size(); p-- > 0;) {
    if (mask[p] || text[p] != '(') continue;
    size_t k = NonSpaceBefore(text, p);
    if (k == std::string_view::npos || mask[k] || !IsIdentChar(text[k])) continue;
    size_t start = k;
    while (start > 0 && !mask[start - 1] && IsIdentChar(text[start - 1])) --start;
    size_t close = match[p];
    std::string name = Trim(std::string_view(text).substr(start, p - start));
    std::string inner = text.substr(p + 1, close - p - 1);

    // Arguments split at commas outside square brackets.
    std::vector<std::string> pieces;
    if (!Trim(inner).empty()) {
      std::vector<char> innerMask = TrailMask(inner);
      int brackets = 0;
      size_t from = 0;
      for (size_t i = 0; i < inner.size(); ++i) {
        if (innerMask[i]) continue;
        if (inner[i] == '[') ++brackets;
        if (inner[i] == ']' && --brackets < 0) SyntaxError();
        if (inner[i] == ',' && brackets == 0) {
          pieces.push_back(Trim(std::string_view(inner).substr(from, i - from)));
          from = i + 1;
        }
      }
      if (brackets != 0) SyntaxError();
      pieces.push_back(Trim(std::string_view(inner).substr(from)));
    }

    TBuildOpeData op{ocFunc, NewTemp(), {name}};
    text = text.substr(0, start) + op.Dest + text.substr(close + 1);
    for (std::string& piece : pieces) op.Args.push_back(Operand(std::move(piece), depth));
    ops_.push_back(std::move(op));
    return true;
  }
  return false;
}

bool TBuildKivoParser::CutArrayElement(std::string& text, int depth) {
  std::vector<char> mask = TrailMask(text);
  std::vector<size_t> match = PairUp(text, mask, '[', ']');
  size_t p = text.size();
  while (p-- > 0) {
    if (!mask[p] && text[p] == '[') break;
  }
  if (p == static_cast<size_t>(-1)) return false;
  size_t k = NonSpaceBefore(text, p);
  if (k == std::string_view::npos || (!mask[k] && IsSpecialChar(text[k]))) SyntaxError();
  size_t start = k;
  while (start > 0 && (mask[start - 1] || !(IsSpace(text[start - 1]) || IsSpecialChar(text[start - 1])))) --start;
  size_t close = match[p];
  std::string name = text.substr(start, k + 1 - start);
  std::string indexText = text.substr(p + 1, close - p - 1);
  if (Trim(indexText).empty()) throw EKivoError(std::string(kBadIndexList));

  TBuildOpeData op{ocDimTo, NewDimTemp(), {name}};
  text = text.substr(0, start) + op.Dest + text.substr(close + 1);
  size_t from = 0;
  for (size_t i = 0; i <= indexText.size(); ++i) {
    if (i == indexText.size() || indexText[i] == ',') {
      op.Args.push_back(Operand(Trim(std::string_view(indexText).substr(from, i - from)), depth));
      from = i + 1;
    }
  }
  ops_.push_back(std::move(op));
  return true;
}

bool TBuildKivoParser::CutGroup(std::string& text, int depth) {
  std::vector<char> mask = TrailMask(text);
  std::vector<size_t> match = PairUp(text, mask, '(', ')');
  for (size_t p = text.size(); p-- > 0;) {
    if (mask[p] || text[p] != '(') continue;
    size_t k = NonSpaceBefore(text, p);
    if (k != std::string_view::npos && !mask[k] && IsIdentChar(text[k])) continue;
    size_t close = match[p];
    std::string inner = text.substr(p + 1, close - p - 1);
    std::string temp = NewTemp();
    text = text.substr(0, p) + temp + text.substr(close + 1);
    CompileText(temp + " = " + inner, depth + 1);
    return true;
  }
  return false;
}

std::string TBuildKivoParser::Operand(std::string text, int depth) {
  text = StripEnclosingParens(std::move(text));
  if (text.empty() || !ContainsSpecial(text)) return text;
  std::string temp = NewTemp();
  CompileText(temp + " = " + text, depth + 1);
  return temp;
}

void TBuildKivoParser::Reduce(std::vector<std::string>& tokens) {
  bool assigned = false;
  while (!tokens.empty()) {
    int best = 0;
    size_t i = 0;
    for (size_t t = 0; t < tokens.size(); ++t) {
      if (!IsOperatorToken(tokens[t])) continue;
      int level = LevelOf(tokens[t]);
      if (level != 0 && (best == 0 || level < best)) {
        best = level;
        i = t;
      }
    }
    if (best == 0) {
      // Only a bare operand may remain, and only in an expression without assignment.
      if (assigned || tokens.size() > 1 || IsOperatorToken(tokens[0])) SyntaxError();
      ops_.push_back({ocTo, std::string(kArgTemp), {tokens[0]}});
      tokens.clear();
      break;
    }
    if (i + 1 >= tokens.size() || IsOperatorToken(tokens[i + 1])) SyntaxError();
    uint8_t code = OpTypeOf(tokens[i]);
    if (code == ocTo) {
      if (i == 0 || IsOperatorToken(tokens[i - 1])) SyntaxError();
      ops_.push_back({ocTo, tokens[i - 1], {tokens[i + 1]}});
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i - 1), tokens.begin() + static_cast<std::ptrdiff_t>(i + 2));
      assigned = true;
    } else if (i > 0) {
      if (std::string_view("+-*/%|&^=[(<>").find(tokens[i - 1][0]) != std::string_view::npos) SyntaxError();
      std::string temp = NewTemp();
      ops_.push_back({code, temp, {tokens[i - 1], tokens[i + 1]}});
      tokens[i - 1] = std::move(temp);
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i), tokens.begin() + static_cast<std::ptrdiff_t>(i + 2));
    } else {
      if (code != ocPlus && code != ocMinus) SyntaxError();
      std::string temp = NewTemp();
      ops_.push_back({code, temp, {"0", tokens[1]}});
      tokens[0] = std::move(temp);
      tokens.erase(tokens.begin() + 1);
    }
  }
}

void TBuildKivoParser::RemoveTempCopies() {
  auto plainTemp = [](std::string_view s) {
    return s.starts_with(kTempPrefix) && !s.starts_with(kDimTempPrefix) && s != kArgTemp;
  };
  for (size_t i = 0; i < ops_.size();) {
    const TBuildOpeData& op = ops_[i];
    if (op.OpType != ocTo || op.Args.size() != 1 || !plainTemp(op.Dest) || !plainTemp(op.Args[0])) {
      ++i;
      continue;
    }
    std::string from = op.Dest, to = op.Args[0];
    for (size_t j = i + 1; j < ops_.size(); ++j) {
      if (ops_[j].Dest == from) ops_[j].Dest = to;
      for (std::string& a : ops_[j].Args) {
        if (a == from) a = to;
      }
    }
    ops_.erase(ops_.begin() + static_cast<std::ptrdiff_t>(i));
  }
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
