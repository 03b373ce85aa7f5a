// Classification of operand texts into run-form constants, and the literal parsers it uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/binary_io.h"
#include "support/extended.h"

namespace kivo {

// Operand kind bytes of the run form.
enum TOperandKind : uint8_t { okVariable = 0, okInt = 1, okFloat = 2, okBool = 3, okString = 4 };

struct TOperandConst {
  uint8_t Kind = okVariable;
  int32_t Int = 0;
  Extended Float = 0;
  bool Bool = false;
  std::string Text;  // the string constant, or the variable name
};

// Integer (optional sign, decimal or "$" hexadecimal, within 32 bits), float (digits with an
// optional "." fraction and exponent), TRUE/FALSE, quoted string, else a variable name (also "" and temporaries).
TOperandConst ClassifyOperandText(const std::string& text);
void WriteOperandText(TBinaryWriter& w, const std::string& text);

}  // namespace kivo
