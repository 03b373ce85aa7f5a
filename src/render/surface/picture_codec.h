// Pictures in files: BMP and PNG decoding into one neutral picture, copying a picture into a
// surface of any format, and writing surfaces as BMP and PNG.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/surface/custom_dibx.h"

namespace kivo {

class TStream;

// A decoded picture, rows top first.
struct TPicture {
  int width = 0;
  int height = 0;
  int bitCount = 24;                   // of the file: 1, 4, 8 indexed; 16, 24, 32 direct
  std::vector<uint32_t> rgb;           // 0x00RRGGBB per pixel
  std::vector<uint8_t> indexes;        // indexed pictures: the colour-table index per pixel
  std::vector<TPaletteEntry> palette;  // indexed pictures
  std::vector<uint8_t> alpha;          // 255 opaque; empty when the picture has no alpha channel
  // Platform colour (red in the low byte) that is transparent; for indexed pictures $1000000 or
  // the index; -1: none.
  int32_t transparentColor = -1;
};

// The largest picture accepted from a file (pixels); larger ones are refused before allocating.
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;
inline constexpr int kMaxPictureSide = 32768;

// Decoders read from the stream's current position and raise EKivoError on damaged data.
TPicture DecodeBmp(TStream& stream);
TPicture DecodePng(TStream& stream);

// Chooses by the first bytes: "BM" a bitmap, "PNG" at offset 1 a PNG, "Bryl" the layered image
// (through the registered decoder). Nothing for other content; the stream position is kept then.
std::optional<TPicture> DecodePicture(TStream& stream, int identCode);

// The layered image format registers its frame-0 decoder here.
using TLayeredImageDecoder = std::optional<TPicture> (*)(TStream& stream, int identCode);
void SetLayeredImageDecoder(TLayeredImageDecoder decoder);

// A ".bmp" file (extension compared without case) that exists; nothing otherwise.
std::optional<TPicture> LoadBmpFile(const std::string& fileName);

// Resizes the surface to the picture, keeping its bit count, and converts the picture into it.
// Empty pictures leave the surface unchanged.
void CopyPictureInto(const TPicture& picture, TCustomDIBX& surface);

// The surface as a 24-bit bitmap file, only for the ".bmp" extension; written atomically.
bool SaveBmpFile(TCustomDIBX& surface, const std::string& fileName);

// The surface as PNG bytes: 24-bit RGB, or 32-bit RGBA when an alpha mask (8-bit, same size) is given.
std::string EncodePng(TCustomDIBX& surface, TCustomDIBX* alphaMask = nullptr);
// Writes EncodePng atomically (temporary name, then renamed over the file); false on failure.
bool SavePngFile(TCustomDIBX& surface, const std::string& fileName, TCustomDIBX* alphaMask = nullptr);

}  // namespace kivo
