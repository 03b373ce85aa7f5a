// Expression hooks backed by the program's own expression compiler.
#pragma once

#include "render/text/glyph_io.h"

namespace kivo {

// ToRunForm compiles with the expression compiler and raises its error on malformed text. ToText
// is left empty: turning a run form back into text is the dumper's business.
TExpressionHooks CompilerExpressionHooks();

}  // namespace kivo
