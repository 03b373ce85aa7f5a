// The glyph classes of marked-up text: characters, inline images and the operation marks.
#pragma once

#include <cstdint>
#include <string>

#include "render/text/decorate.h"

namespace kivo {

class TGlyphIO;

// GlyphKind: the kind byte of a glyph in a glyph-list stream.
constexpr uint8_t GK_NONE = 0;
constexpr uint8_t GK_CHAR = 1;
constexpr uint8_t GK_ALIGN = 2;
constexpr uint8_t GK_RETURN = 3;
constexpr uint8_t GK_INDENT = 4;
constexpr uint8_t GK_UNDENT = 5;
constexpr uint8_t GK_EVENT = 6;
constexpr uint8_t GK_VAR = 7;
constexpr uint8_t GK_SKIPPED = 8;  // read as nothing
constexpr uint8_t GK_IMG = 9;
constexpr uint8_t GK_HISTCHAR = 10;

// Alignment codes of rows, images and alignment marks.
constexpr uint8_t AL_NONE = 0;
constexpr uint8_t AL_LEFT = 1;
constexpr uint8_t AL_RIGHT = 2;
constexpr uint8_t AL_CENTER = 3;
constexpr uint8_t AL_TOP = 4;
constexpr uint8_t AL_BOTTOM = 5;

class TWdGlyph {
public:
  virtual ~TWdGlyph() = default;
  virtual uint8_t GlyphKind() const { return GK_NONE; }
  // Whether the glyph is one position of the stored text.
  virtual bool Counted() const { return false; }
  // The kind's stream record (after the kind byte); both directions share one field list.
  virtual void Serialize(TGlyphIO&) {}
};

// A glyph that shows something and can be revealed.
class TWdReal : public TWdGlyph {
public:
  std::string Link;
  int32_t Wait = 0;
};

class TWdChar : public TWdReal {
public:
  uint8_t GlyphKind() const override { return GK_CHAR; }
  bool Counted() const override { return true; }
  void Serialize(TGlyphIO& io) override;

  // Lead byte * 256 + trail byte, or the single byte.
  uint16_t Code = 0;
  TDecorate* Style = nullptr;  // owned by the text's style list
};

class TWdImg : public TWdReal {
public:
  uint8_t GlyphKind() const override { return GK_IMG; }
  bool Counted() const override { return true; }
  void Serialize(TGlyphIO& io) override;

  std::string Source;
  uint8_t Align = AL_BOTTOM;
};

// A line break; with the clear flag a page break.
class TWdOpeReturn : public TWdGlyph {
public:
  uint8_t GlyphKind() const override { return GK_RETURN; }
  bool Counted() const override { return true; }
  void Serialize(TGlyphIO& io) override;

  uint8_t Clear = 0;
};

class TWdOpeAlign : public TWdGlyph {
public:
  uint8_t GlyphKind() const override { return GK_ALIGN; }
  bool Counted() const override { return true; }
  void Serialize(TGlyphIO& io) override;

  uint8_t Align = AL_LEFT;
};

class TWdOpeIndent : public TWdGlyph {
public:
  uint8_t GlyphKind() const override { return GK_INDENT; }
  bool Counted() const override { return true; }
};

class TWdOpeUndent : public TWdGlyph {
public:
  uint8_t GlyphKind() const override { return GK_UNDENT; }
  bool Counted() const override { return true; }
};

class TWdOpeEvent : public TWdGlyph {
public:
  uint8_t GlyphKind() const override { return GK_EVENT; }
  bool Counted() const override { return true; }
  void Serialize(TGlyphIO& io) override;

  std::string Value;
  bool End = false;  // stored as a leading byte 0x01 of the value
};

// A variable insertion: the characters of a value shown in the glyph's style.
class TWdOpeVar : public TWdGlyph {
public:
  uint8_t GlyphKind() const override { return GK_VAR; }
  bool Counted() const override { return true; }
  void Serialize(TGlyphIO& io) override;

  // The text trimmed, as it is compiled when the glyph is expanded.
  std::string ExpressionText() const;

  TDecorate* Style = nullptr;
  int32_t Wait = 0;
  std::string Link;
  // The name or expression as stored (newer lists); older lists store RunForm instead, the
  // compiled expression's bytes kept verbatim.
  std::string Text;
  std::string RunForm;
};

// A history-character insertion: expanded only in the history view.
class TWdOpeHistChar : public TWdOpeVar {
public:
  uint8_t GlyphKind() const override { return GK_HISTCHAR; }
};

}  // namespace kivo
