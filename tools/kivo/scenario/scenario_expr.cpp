// Expression text in both directions. Printing rebuilds infix text from the operation list by
// following the temporaries; the result is kept only when the compiler turns it back into the
// very same bytes, so an expression that no text reproduces falls back to the raw notation.
#include "scenario_expr.h"

#include <cstdio>
#include <map>

#include "platform/kivo_error.h"
#include "support/stream.h"
#include "text_values.h"
#include "values/expr/build_parser.h"
#include "values/expr/op_codes.h"
#include "values/functions/function_table.h"
#include "values/param_var.h"

namespace kivo::scenario {
namespace {

std::string CompiledBytes(const std::string& text) {
  TBuildKivoParser parser;
  parser.Compile(text);
  TMemoryStream stream;
  parser.WriteRunForm(stream);
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void LoadBytes(const std::string& bytes, TExpr& expr) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  expr.LoadRunForm(stream);
  if (stream.Position() != stream.Size()) throw EKivoError("the raw expression has bytes after its end");
}

// Operator levels as the compiler reduces them: lower binds tighter.
int LevelOf(uint8_t op) {
  switch (op) {
    case ocMul: case ocDiv: case ocMod: return 1;
    case ocPlus: case ocMinus: return 2;
    case ocShiftL: case ocShiftR: return 3;
    case ocEqual: case ocBig: case ocSmall: case ocEBig: case ocESmall: case ocNEqual: return 4;
    case ocComboStr: return 5;
    case ocAnd: return 6;
    case ocXor: return 7;
    case ocOr: return 8;
    default: return -1;
  }
}

const char* OperatorText(uint8_t op) {
  switch (op) {
    case ocPlus: return "+";
    case ocMinus: return "-";
    case ocMul: return "*";
    case ocDiv: return "/";
    case ocMod: return "%";
    case ocOr: return "|";
    case ocAnd: return "&";
    case ocXor: return "^";
    case ocEqual: return "==";
    case ocBig: return ">";
    case ocSmall: return "<";
    case ocEBig: return ">=";
    case ocESmall: return "<=";
    case ocShiftL: return "<<";
    case ocShiftR: return ">>";
    case ocComboStr: return "++";
    case ocNEqual: return "<>";
    default: return nullptr;
  }
}

struct TPart {
  std::string text;
  int level = 0;  // 0: an operand that needs no brackets
};

std::string StringLiteral(const std::string& s, bool& ok) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (lead && i + 1 < s.size()) {
      out.append(s, i, 2);
      ++i;
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      ok = false;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// How the decompiler spells what the operations leave open: the compiler numbers temporaries by
// the source's grouping, so the same operations may come from "a > 1 & b" or "(a > 1) & b", and
// only the spelling the author used recompiles to the same bytes.
struct TSpelling {
  bool bracketEveryOperation = false;  // (a > 1) & (b < 2) rather than a > 1 & b < 2
  bool unarySigns = false;             // a * -3 rather than a * (0 - 3)
};

class TDecompiler {
public:
  explicit TDecompiler(TSpelling spelling) : spelling_(spelling) {}

  std::string Run(const TExpr& expr) {
    for (const TOpeData& op : expr.Operations()) {
      if (!Step(op)) return {};
    }
    if (statements_.size() != 1 || !ok_) return {};
    return statements_[0];
  }

private:
  TPart Operand(const TCustomParam& p) {
    if (p.IsReference()) {
      const std::string& name = static_cast<const TParamVar&>(p).VarName;
      auto found = temps_.find(name);
      if (found != temps_.end()) {
        TPart part = found->second;
        temps_.erase(found);
        return part;
      }
      return {name, 0};
    }
    switch (p.ParamType()) {
      case PT_INT: return {std::to_string(p.AsInt()), 0};
      case PT_BOOL: return {p.AsBool() ? "TRUE" : "FALSE", 0};
      case PT_FLOAT: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.21Lg", static_cast<long double>(p.AsFloat()));
        std::string text = buffer;
        if (text.find_first_of(".e") == std::string::npos) text += ".0";
        return {text, 0};
      }
      default: return {StringLiteral(p.AsString(), ok_), 0};
    }
  }

  static std::string Wrap(const TPart& part, bool brackets) { return brackets ? "(" + part.text + ")" : part.text; }

  bool Step(const TOpeData& op) {
    std::vector<TPart> args;
    for (const auto& a : op.Args) args.push_back(Operand(*a));
    if (op.OpType == ocTo) {
      if (args.size() != 1) return false;
      if (op.Dest == kArgTemp) {
        statements_.push_back(args[0].text);
      } else if (IsTempName(op.Dest) && !op.Dest.starts_with(kDimTempPrefix)) {
        temps_[op.Dest] = args[0];
      } else {
        std::string dest = op.Dest;
        auto found = temps_.find(dest);
        if (found != temps_.end()) {
          dest = found->second.text;
          temps_.erase(found);
        }
        statements_.push_back(dest + " = " + args[0].text);
      }
      return true;
    }
    if (!IsTempName(op.Dest)) return false;
    if (op.OpType == ocFunc) {
      if (op.FuncId >= kSysFuncCount) return false;
      std::string text = std::string(SysFuncInfo(op.FuncId).Name) + "(";
      for (size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + args[i].text;
      temps_[op.Dest] = {text + ")", 0};
      return true;
    }
    if (op.OpType == ocDimTo) {
      if (args.size() < 2 || op.Args[0]->IsReference() == false) return false;
      std::string text = args[0].text + "[";
      for (size_t i = 1; i < args.size(); ++i) text += (i > 1 ? ", " : "") + args[i].text;
      temps_[op.Dest] = {text + "]", 0};
      return true;
    }
    const char* symbol = OperatorText(op.OpType);
    if (!symbol || args.size() != 2) return false;
    int level = LevelOf(op.OpType);
    if (spelling_.unarySigns && op.OpType == ocMinus && !op.Args[0]->IsReference() &&
        op.Args[0]->ParamType() == PT_INT && args[0].text == "0") {
      temps_[op.Dest] = {"-" + Wrap(args[1], args[1].level > 0), 0};
      return true;
    }
    bool all = spelling_.bracketEveryOperation;
    std::string left = Wrap(args[0], all ? args[0].level > 0 : args[0].level > level);
    std::string right = Wrap(args[1], all ? args[1].level > 0 : args[1].level >= level);
    temps_[op.Dest] = {left + " " + symbol + " " + right, level};
    return true;
  }

  TSpelling spelling_;
  std::map<std::string, TPart> temps_;
  std::vector<std::string> statements_;
  bool ok_ = true;
};

}  // namespace

void CompileExpr(const std::string& text, TExpr& expr) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) {
    LoadBytes(std::string(4, '\0'), expr);
    return;
  }
  std::string trimmed = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
  if (trimmed.starts_with(kRawPrefix)) {
    std::string bytes;
    try {
      bytes = DecodeHex(trimmed.substr(std::string(kRawPrefix).size()), 0);
    } catch (const TLexError& e) {
      throw EKivoError("raw expression: " + e.message);
    }
    LoadBytes(bytes, expr);
    return;
  }
  LoadBytes(CompiledBytes(trimmed), expr);
}

std::string ExprBytes(const TExpr& expr) {
  TMemoryStream stream;
  expr.SaveRunForm(stream);
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

std::string InfixOf(const TExpr& expr) {
  if (expr.Empty()) return {};
  const std::string bytes = ExprBytes(expr);
  for (TSpelling spelling : {TSpelling{}, TSpelling{.unarySigns = true}, TSpelling{.bracketEveryOperation = true},
                             TSpelling{.bracketEveryOperation = true, .unarySigns = true}}) {
    std::string text = TDecompiler(spelling).Run(expr);
    if (text.empty() || text.starts_with(kRawPrefix)) return {};
    try {
      if (CompiledBytes(text) == bytes) return text;
    } catch (const EKivoError&) {
    }
  }
  return {};
}

std::string PrintExpr(const TExpr& expr) {
  if (expr.Empty()) return {};
  std::string text = InfixOf(expr);
  return text.empty() ? kRawPrefix + HexOf(ExprBytes(expr)) : text;
}

}  // namespace kivo::scenario
