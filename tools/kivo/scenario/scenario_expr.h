// Expressions of the scenario text: compiled with the program's own compiler, printed back as
// infix text when that text recompiles to the same bytes, otherwise in the raw notation
// "@run:" followed by the run-form bytes in hexadecimal, which is written back verbatim.
#pragma once

#include <string>

#include "engine/commands/command.h"

namespace kivo::scenario {

constexpr const char* kRawPrefix = "@run:";

// Fills expr from CP932 text; "" leaves it empty. Raises EKivoError with the compiler's message.
void CompileExpr(const std::string& text, TExpr& expr);
// The run-form bytes of the text, as CompileExpr stores them.
std::string ExprBytes(const TExpr& expr);
// CP932 text that CompileExpr turns back into the same bytes; "" for an empty expression.
std::string PrintExpr(const TExpr& expr);
// The infix form alone, or "" when the operations have none that recompiles exactly.
std::string InfixOf(const TExpr& expr);

}  // namespace kivo::scenario
