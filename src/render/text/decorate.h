// Character styles (TDecorate) and the shared, reference-counted style list (TDecorateList).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kivo {

// Style flag bits.
constexpr uint8_t FS_BOLD = 0x01;
constexpr uint8_t FS_ITALIC = 0x02;
constexpr uint8_t FS_UNDERLINE = 0x04;
constexpr uint8_t FS_STRIKEOUT = 0x08;

// One character style. -1 colours and widths and the 0 size mean "the text object's default".
// Fields keep the exact stored values (bytes stay bytes) so a list read from a stream is written
// back unchanged.
struct TDecorate {
  int32_t RefCount = 0;
  int32_t Color = -1;
  int32_t BorderColor = -1;
  int32_t ShadowColor = -1;
  int32_t Size = 0;
  uint8_t Flags = 0;
  std::string FontName;
  uint8_t NoBreak = 0;
  std::string Ruby;
  int32_t BorderWidth = -1;
  int32_t ShadowOffset = -1;

  // Equal in everything a character shows; the reference count is not a value.
  bool SameValues(const TDecorate& other) const;
};

// The styles of one text. Characters with identical values share one record; a record lives while
// characters use it. Records never move in memory, so glyphs keep plain pointers to them.
class TDecorateList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TDecorate* At(int index) const;  // nullptr outside the list
  int IndexOf(const TDecorate* style) const;

  // The record with these values (reference count + 1), appended when none exists yet.
  TDecorate* Acquire(const TDecorate& values);
  // Reference count - 1; the record is deleted when it reaches 0.
  void Release(TDecorate* style);
  // Appends a record as it stands (loading keeps duplicates and stored counts).
  TDecorate* Append(const TDecorate& record);
  // Moves other's records to the end of this list (the records keep their addresses).
  void AppendAll(TDecorateList&& other);
  void Clear() { items_.clear(); }

private:
  std::vector<std::unique_ptr<TDecorate>> items_;
};

}  // namespace kivo
