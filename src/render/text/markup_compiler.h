// Building the glyph list of marked-up text: tags change the attribute state, text becomes characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kivo_error.h"
#include "render/text/glyph_list.h"

namespace kivo {

// Something in the markup that the player reads without complaint but that is probably not what
// the author meant (an unknown tag, a colour that is not #RRGGBB, an IMG without SRC, ...).
struct TMarkupWarning {
  int Line = 0;
  int Column = 0;
  std::string Text;
};

struct TMarkupOptions {
  // The wait of characters outside WAIT tags: "@TextDelay" when the markup is read.
  int32_t DefaultWait = 50;
  // When set, receives the warnings; they never change the glyphs.
  std::vector<TMarkupWarning>* Warnings = nullptr;
};

// A markup error: the message is the player's own text; Line and Column (1-based, columns in
// characters, a double-byte character counting one) tell where in the markup lines it is.
class EMarkupError : public EKivoError {
public:
  EMarkupError(const std::string& messageCp932, int line, int column)
      : EKivoError(messageCp932), line_(line), column_(column) {}
  int Line() const { return line_; }
  int Column() const { return column_; }

private:
  int line_;
  int column_;
};

// "<A>タグにHREF値がありません"
extern const char* const kNoHrefMessage;

// Splits text at CR LF, LF or CR into the lines the markup is given as.
std::vector<std::string> SplitMarkupLines(std::string_view text);

// Appends the glyphs of the markup lines (joined with CR) to list, sharing styles through its
// style list. On an error the glyphs made so far stay in the list and EMarkupError is raised.
void CompileMarkup(const std::vector<std::string>& lines, TWdGlyphList& list,
                   const TMarkupOptions& options = {});
TWdGlyphList CompileMarkup(const std::vector<std::string>& lines, const TMarkupOptions& options = {});

}  // namespace kivo
