// PNG reading through libpng (alpha channel, transparent colour, palettes) and 24/32-bit writing.
#include <png.h>

#include <cstring>
#include <unordered_map>

#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "render/surface/picture_codec.h"
#include "support/binary_io.h"

namespace kivo {

namespace {

[[noreturn]] void Damaged(const std::string& why) { throw EKivoError("invalid PNG image: " + why); }

uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

// What the chunks say beyond the pixels: the header, the colour table and the transparency.
struct TPngInfo {
  uint32_t width = 0, height = 0;
  int depth = 0, colorType = 0;
  std::vector<TPaletteEntry> palette;
  std::vector<uint8_t> trns;
};

TPngInfo ReadChunks(const std::vector<uint8_t>& data) {
  TPngInfo info;
  size_t p = 8;
  bool header = false;
  while (p + 8 <= data.size()) {
    const uint32_t length = Be32(&data[p]);
    const char* type = reinterpret_cast<const char*>(&data[p + 4]);
    if (length > data.size() - p - 8) Damaged("chunk beyond the data");
    const uint8_t* body = &data[p + 8];
    if (!std::memcmp(type, "IHDR", 4) && length >= 13) {
      info.width = Be32(body), info.height = Be32(body + 4);
      info.depth = body[8], info.colorType = body[9];
      header = true;
    } else if (!std::memcmp(type, "PLTE", 4)) {
      for (uint32_t i = 0; i + 3 <= length && info.palette.size() < 256; i += 3)
        info.palette.push_back({body[i], body[i + 1], body[i + 2], 0});
    } else if (!std::memcmp(type, "tRNS", 4)) {
      info.trns.assign(body, body + length);
    } else if (!std::memcmp(type, "IDAT", 4) || !std::memcmp(type, "IEND", 4)) {
      break;
    }
    p += 8 + static_cast<size_t>(length) + 4;
  }
  if (!header) Damaged("no header");
  return info;
}

// A tRNS sample of the given depth as an 8-bit level.
uint32_t Level8(uint32_t sample, int depth) {
  if (depth == 16) return sample >> 8;
  if (depth == 8) return sample & 0xFF;
  const uint32_t max = (1u << depth) - 1;
  return (sample & max) * 255 / max;
}

void Transparency(const TPngInfo& info, TPicture& pic, bool& alphaFromDecoder) {
  alphaFromDecoder = info.colorType == PNG_COLOR_TYPE_GRAY_ALPHA || info.colorType == PNG_COLOR_TYPE_RGB_ALPHA;
  const auto& t = info.trns;
  if (t.empty()) return;
  if (info.colorType == PNG_COLOR_TYPE_GRAY && t.size() >= 2) {
    const uint32_t g = Level8(uint32_t{t[0]} << 8 | t[1], info.depth);
    pic.transparentColor = static_cast<int32_t>(g | g << 8 | g << 16);
  } else if (info.colorType == PNG_COLOR_TYPE_RGB && t.size() >= 6) {
    const uint32_t r = Level8(uint32_t{t[0]} << 8 | t[1], info.depth), g = Level8(uint32_t{t[2]} << 8 | t[3], info.depth),
                   b = Level8(uint32_t{t[4]} << 8 | t[5], info.depth);
    pic.transparentColor = static_cast<int32_t>(r | g << 8 | b << 16);
  } else if (info.colorType == PNG_COLOR_TYPE_PALETTE) {
    // One fully transparent entry is a transparent colour; anything finer is an alpha channel.
    int clear = -1, partial = 0;
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] == 0 && clear < 0) clear = static_cast<int>(i);
      else if (t[i] != 255) ++partial;
    }
    if (partial == 0 && clear >= 0)
      pic.transparentColor = 0x1000000 | clear;
    else
      alphaFromDecoder = true;
  }
}

}  // namespace

TPicture DecodePng(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  if (size < 8) Damaged("too short");
  std::vector<uint8_t> data(static_cast<size_t>(size));
  stream.ReadBuffer(data.data(), size);
  const TPngInfo info = ReadChunks(data);
  if (info.width == 0 || info.height == 0 || info.width > kMaxPictureSide || info.height > kMaxPictureSide ||
      int64_t{info.width} * info.height > kMaxPicturePixels)
    Damaged("unsupported size");

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) Damaged(image.message);
  if (image.width != info.width || image.height != info.height) {
    png_image_free(&image);
    Damaged("inconsistent header");
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) Damaged(image.message);

  TPicture pic;
  pic.width = static_cast<int>(info.width);
  pic.height = static_cast<int>(info.height);
  pic.bitCount = 24;
  if (info.colorType == PNG_COLOR_TYPE_PALETTE) pic.bitCount = info.depth == 1 ? 1 : info.depth <= 4 ? 4 : 8;
  if (info.colorType == PNG_COLOR_TYPE_RGB_ALPHA || info.colorType == PNG_COLOR_TYPE_GRAY_ALPHA) pic.bitCount = 32;
  bool withAlpha = false;
  Transparency(info, pic, withAlpha);
  const size_t pixels = static_cast<size_t>(pic.width) * pic.height;
  pic.rgb.resize(pixels);
  if (withAlpha) pic.alpha.resize(pixels);
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* px = &rgba[i * 4];
    pic.rgb[i] = uint32_t{px[0]} << 16 | uint32_t{px[1]} << 8 | px[2];
    if (withAlpha) pic.alpha[i] = px[3];
  }
  if (info.colorType == PNG_COLOR_TYPE_PALETTE && !info.palette.empty()) {
    // Indexes back from the colours: the first entry of each colour, and the transparent entry
    // for the pixels the decoder made transparent.
    pic.palette = info.palette;
    pic.palette.resize(256);
    std::unordered_map<uint32_t, uint8_t> indexOf;
    for (size_t i = info.palette.size(); i-- > 0;) {
      const TPaletteEntry& e = info.palette[i];
      indexOf[uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue] = static_cast<uint8_t>(i);
    }
    const int clear = pic.transparentColor >= 0 ? pic.transparentColor & 0xFF : -1;
    pic.indexes.resize(pixels);
    for (size_t i = 0; i < pixels; ++i) {
      auto it = indexOf.find(pic.rgb[i]);
      pic.indexes[i] = clear >= 0 && rgba[i * 4 + 3] == 0 ? static_cast<uint8_t>(clear) : it != indexOf.end() ? it->second : 0;
    }
  }
  return pic;
}

std::string EncodePng(TCustomDIBX& surface, TCustomDIBX* alphaMask) {
  const int w = surface.Width(), h = surface.Height();
  if (w <= 0 || h <= 0) throw EKivoError("PNG of an empty surface");
  const bool alpha = alphaMask && alphaMask->Width() >= w && alphaMask->Height() >= h;
  const int channels = alpha ? 4 : 3;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * channels);
  for (int y = 0; y < h; ++y) {
    uint8_t* out = &pixels[static_cast<size_t>(y) * w * channels];
    for (int x = 0; x < w; ++x, out += channels) {
      const uint32_t rgb = surface.PixelToRgb(surface.GetPixel(x, y));
      out[0] = static_cast<uint8_t>(rgb >> 16), out[1] = static_cast<uint8_t>(rgb >> 8), out[2] = static_cast<uint8_t>(rgb);
      if (alpha) out[3] = static_cast<uint8_t>(alphaMask->GetPixel(x, y));
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr)) throw EKivoError(image.message);
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr)) throw EKivoError(image.message);
  out.resize(size);
  return out;
}

bool SavePngFile(TCustomDIBX& surface, const std::string& fileName, TCustomDIBX* alphaMask) {
  if (surface.IsEmpty()) return false;
  return WriteFileAtomically(fileName, EncodePng(surface, alphaMask));
}

}  // namespace kivo
