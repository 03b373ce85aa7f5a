// The attribute state's current character style.
#include "render/text/tag_val_list.h"

namespace kivo {

TDecorate TTagValList::CurrentStyle() const {
  TDecorate style;
  style.Size = Size.Top();
  style.Color = Color.Top();
  style.BorderColor = BorderColor.Top();
  style.ShadowColor = ShadowColor.Top();
  style.FontName = FontName.Top();
  style.Flags = Flags;
  style.NoBreak = NoBreak ? 1 : 0;
  style.Ruby = Ruby;
  style.BorderWidth = BorderWidth.Top();
  style.ShadowOffset = ShadowOffset.Top();
  return style;
}

}  // namespace kivo
