// Operand texts to typed constants: the literal rules of the run-form conversion.
#include "values/expr/operand_text.h"

#include "values/value_convert.h"

namespace kivo {

TOperandConst ClassifyOperandText(const std::string& text) {
  TOperandConst c;
  // The compiler trims every operand, so the value system's parsers (which also allow blanks
  // around the number) see exactly the literal.
  if (TryStrToInt(text, c.Int)) {
    c.Kind = okInt;
  } else if (TryStrToFloat(text, c.Float)) {
    c.Kind = okFloat;
  } else if (text == "TRUE" || text == "FALSE") {
    c.Kind = okBool;
    c.Bool = text == "TRUE";
  } else if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    c.Kind = okString;
    c.Text = text.substr(1, text.size() - 2);
  } else {
    c.Kind = okVariable;
    c.Text = text;
  }
  return c;
}

void WriteOperandText(TBinaryWriter& w, const std::string& text) {
  TOperandConst c = ClassifyOperandText(text);
  w.Byte(c.Kind);
  switch (c.Kind) {
    case okInt: w.Int32(c.Int); break;
    case okFloat: w.ExtendedValue(c.Float); break;
    case okBool: w.Bool(c.Bool); break;
    default: w.String(c.Text); break;
  }
}

}  // namespace kivo
