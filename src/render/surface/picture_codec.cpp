// Choosing a picture decoder by signature, and converting pictures into surfaces of any format.
#include "render/surface/picture_codec.h"

#include <algorithm>
#include <cctype>

#include "platform/paths.h"
#include "support/stream.h"

namespace kivo {

namespace {

TLayeredImageDecoder layeredDecoder = nullptr;

bool HasExtension(const std::string& name, const char* ext) {
  const size_t n = std::char_traits<char>::length(ext);
  if (name.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != ext[i]) return false;
  return true;
}

int Distance(const TPaletteEntry& e, uint32_t rgb) {
  const int dr = e.red - static_cast<int>(rgb >> 16 & 0xFF), dg = e.green - static_cast<int>(rgb >> 8 & 0xFF),
            db = e.blue - static_cast<int>(rgb & 0xFF);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

void SetLayeredImageDecoder(TLayeredImageDecoder decoder) { layeredDecoder = decoder; }

std::optional<TPicture> DecodePicture(TStream& stream, int identCode) {
  const int64_t start = stream.Position();
  char head[4] = {};
  const int64_t got = stream.Read(head, 4);
  stream.SetPosition(start);
  if (got >= 2 && head[0] == 'B' && head[1] == 'M') return DecodeBmp(stream);
  if (got >= 4 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') return DecodePng(stream);
  if (got >= 4 && std::string(head, 4) == "Bryl" && layeredDecoder) return layeredDecoder(stream, identCode);
  return std::nullopt;
}

std::optional<TPicture> LoadBmpFile(const std::string& fileName) {
  if (!HasExtension(fileName, ".bmp") || !FileExists(fileName)) return std::nullopt;
  std::string contents;
  if (!ReadWholeFile(fileName, contents)) return std::nullopt;
  TMemoryStream stream(std::vector<uint8_t>(contents.begin(), contents.end()));
  return DecodeBmp(stream);
}

void CopyPictureInto(const TPicture& pic, TCustomDIBX& surface) {
  if (pic.width <= 0 || pic.height <= 0) return;
  const int bits = surface.BitCount();
  surface.SetSize(pic.width, pic.height, bits);
  const size_t pixels = static_cast<size_t>(pic.width) * pic.height;
  if (bits > 8) {
    for (int y = 0; y < pic.height; ++y)
      for (int x = 0; x < pic.width; ++x) {
        const uint32_t rgb = pic.rgb[static_cast<size_t>(y) * pic.width + x];
        // 24- and 32-bit native values are 0x00RRGGBB already; narrower ones go through the masks.
        const int32_t color = static_cast<int32_t>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
        surface.SetPixel(x, y, bits == 24 ? rgb : static_cast<uint32_t>(surface.ColorToPixel(color)));
      }
    return;
  }
  const size_t tableSize = size_t{1} << std::min(bits, 8);
  const bool ownIndexes = !pic.indexes.empty() && pic.bitCount <= bits;
  if (ownIndexes) {
    std::vector<TPaletteEntry> table(pic.palette);
    table.resize(256);
    surface.SetPaletteEntries(table.data(), 0, static_cast<int>(tableSize));
  }
  // Otherwise every colour takes the nearest entry of the surface's own table.
  std::vector<TPaletteEntry> table(256);
  surface.GetPaletteEntries(table.data(), 0, 256);
  uint32_t lastRgb = 0xFFFFFFFF;
  uint32_t lastIndex = 0;
  for (size_t i = 0; i < pixels; ++i) {
    uint32_t index;
    if (ownIndexes) {
      index = pic.indexes[i];
    } else if (pic.rgb[i] == lastRgb) {
      index = lastIndex;
    } else {
      index = 0;
      for (size_t k = 1; k < tableSize; ++k)
        if (Distance(table[k], pic.rgb[i]) < Distance(table[index], pic.rgb[i])) index = static_cast<uint32_t>(k);
      lastRgb = pic.rgb[i], lastIndex = index;
    }
    surface.SetPixel(static_cast<int>(i % pic.width), static_cast<int>(i / pic.width), index);
  }
}

}  // namespace kivo
