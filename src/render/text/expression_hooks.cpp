// Compiling variable-insertion texts for glyph lists that store compiled expressions.
#include "render/text/expression_hooks.h"

#include "support/stream.h"
#include "values/expr/build_parser.h"

namespace kivo {

TExpressionHooks CompilerExpressionHooks() {
  TExpressionHooks hooks;
  hooks.ToRunForm = [](const std::string& text) {
    TBuildKivoParser parser;
    parser.Compile(text);
    TMemoryStream stream;
    parser.WriteRunForm(stream);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
  };
  return hooks;
}

}  // namespace kivo
