// BMP reading (1, 4, 8 bits with RLE, 16, 24, 32 bits with bit fields) and 24-bit BMP writing.
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "render/surface/picture_codec.h"
#include "support/binary_io.h"

namespace kivo {

namespace {

[[noreturn]] void Damaged(const char* why) { throw EKivoError(std::string("invalid bitmap: ") + why); }

struct TBitField {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  explicit TBitField(uint32_t m = 0) : mask(m), shift(m ? std::countr_zero(m) : 0), max(m ? m >> std::countr_zero(m) : 0) {}
  uint32_t Channel(uint32_t v) const { return max ? ((v & mask) >> shift) * 255 / max : 0; }
};

// RLE8 / RLE4: runs and literal groups, with end-of-line, end-of-bitmap and delta escapes.
void DecodeRle(const std::vector<uint8_t>& data, int bits, int width, int height, std::vector<uint8_t>& indexes) {
  size_t p = 0;
  int x = 0, y = 0;  // y counts rows from the bottom as stored
  auto put = [&](uint8_t index) {
    if (x < width && y < height) indexes[static_cast<size_t>(height - 1 - y) * width + x] = index;
    ++x;
  };
  auto need = [&](size_t n) {
    if (p + n > data.size()) Damaged("RLE data ends early");
  };
  while (y < height) {
    need(2);
    const uint8_t count = data[p], value = data[p + 1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(bits == 8 ? value : (i & 1) ? value & 0xF : value >> 4);
      continue;
    }
    if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      need(2);
      x += data[p], y += data[p + 1];
      p += 2;
    } else {
      const size_t bytes = bits == 8 ? value : (value + 1u) / 2;
      need(bytes);
      for (int i = 0; i < value; ++i) put(bits == 8 ? data[p + i] : (i & 1) ? data[p + i / 2] & 0xF : data[p + i / 2] >> 4);
      p += (bytes + 1) & ~size_t{1};  // literal groups are padded to 16 bits
    }
  }
}

}  // namespace

TPicture DecodeBmp(TStream& stream) {
  const int64_t start = stream.Position();
  TBinaryReader r(stream);
  if (r.FixedText(2) != "BM") Damaged("no BM signature");
  r.UInt32();
  r.UInt32();
  const uint32_t offBits = r.UInt32();
  const uint32_t headerSize = r.UInt32();
  int64_t width = 0, height = 0;
  int bits = 0;
  uint32_t compression = 0, colorsUsed = 0;
  uint32_t masks[3] = {0, 0, 0};
  int paletteEntrySize = 4;
  if (headerSize == 12) {
    width = r.UInt16();
    height = r.Int16();
    r.UInt16();
    bits = r.UInt16();
    paletteEntrySize = 3;
  } else if (headerSize >= 40 && headerSize <= 124) {
    width = r.Int32();
    height = r.Int32();
    r.UInt16();
    bits = r.UInt16();
    compression = r.UInt32();
    r.Skip(12);
    colorsUsed = r.UInt32();
    r.UInt32();
    if (headerSize >= 52) {
      for (uint32_t& m : masks) m = r.UInt32();
      r.Skip(headerSize - 52);
    } else if (compression == 3 || compression == 6) {
      for (uint32_t& m : masks) m = r.UInt32();
      if (compression == 6) r.UInt32();
    }
  } else {
    Damaged("unknown header");
  }
  const bool topDown = height < 0;
  height = topDown ? -height : height;
  if (width <= 0 || height <= 0) Damaged("empty size");
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) Damaged("too large");
  const bool rle = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
  const bool fields = compression == 3 && (bits == 16 || bits == 32);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) Damaged("unsupported bit count");
  if (compression != 0 && !rle && !fields) Damaged("unsupported compression");

  TPicture pic;
  pic.width = static_cast<int>(width);
  pic.height = static_cast<int>(height);
  pic.bitCount = bits;
  if (bits <= 8) {
    const uint32_t count = colorsUsed ? colorsUsed : 1u << bits;
    if (count > (1u << bits)) Damaged("colour table too long");
    pic.palette.resize(1u << bits);
    for (uint32_t i = 0; i < count; ++i) {
      TPaletteEntry& e = pic.palette[i];
      e.blue = r.Byte(), e.green = r.Byte(), e.red = r.Byte();
      if (paletteEntrySize == 4) r.Byte();
    }
  }
  const int64_t headerEnd = stream.Position();
  const int64_t dataStart = offBits >= headerEnd - start ? start + offBits : headerEnd;
  stream.SetPosition(dataStart);
  const int64_t available = stream.Size() - dataStart;
  const int64_t stride = ((width * bits + 31) / 32) * 4;
  if (available < 0 || (!rle && available < stride * height)) Damaged("pixel data ends early");
  std::vector<uint8_t> data(static_cast<size_t>(rle ? std::min<int64_t>(available, width * height * 4 + 1024) : stride * height));
  stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));

  const size_t pixels = static_cast<size_t>(width * height);
  pic.rgb.resize(pixels);
  if (bits <= 8) pic.indexes.assign(pixels, 0);
  if (rle) {
    DecodeRle(data, bits, pic.width, pic.height, pic.indexes);
  } else if (bits <= 8) {
    for (int y = 0; y < pic.height; ++y) {
      const uint8_t* row = data.data() + static_cast<size_t>(topDown ? y : pic.height - 1 - y) * stride;
      uint8_t* out = pic.indexes.data() + static_cast<size_t>(y) * pic.width;
      for (int x = 0; x < pic.width; ++x) {
        if (bits == 8) out[x] = row[x];
        if (bits == 4) out[x] = (x & 1) ? row[x / 2] & 0xF : row[x / 2] >> 4;
        if (bits == 1) out[x] = (row[x / 8] >> (7 - x % 8)) & 1;
      }
    }
  }
  if (bits <= 8) {
    for (size_t i = 0; i < pixels; ++i) {
      const TPaletteEntry& e = pic.palette[pic.indexes[i]];
      pic.rgb[i] = static_cast<uint32_t>(e.red) << 16 | e.green << 8 | e.blue;
    }
    return pic;
  }
  if (!fields) {
    masks[0] = bits == 16 ? 0x7C00 : 0xFF0000;
    masks[1] = bits == 16 ? 0x03E0 : 0xFF00;
    masks[2] = bits == 16 ? 0x001F : 0xFF;
  }
  const TBitField fr(masks[0]), fg(masks[1]), fb(masks[2]);
  // The fourth byte of a plain 32-bit bitmap is its alpha.
  if (bits == 32 && !fields) pic.alpha.resize(pixels);
  for (int y = 0; y < pic.height; ++y) {
    const uint8_t* row = data.data() + static_cast<size_t>(topDown ? y : pic.height - 1 - y) * stride;
    uint32_t* out = pic.rgb.data() + static_cast<size_t>(y) * pic.width;
    for (int x = 0; x < pic.width; ++x) {
      if (bits == 24) {
        out[x] = static_cast<uint32_t>(row[x * 3 + 2]) << 16 | row[x * 3 + 1] << 8 | row[x * 3];
        continue;
      }
      uint32_t v = 0;
      std::memcpy(&v, row + x * (bits / 8), bits / 8);
      out[x] = fr.Channel(v) << 16 | fg.Channel(v) << 8 | fb.Channel(v);
      if (!pic.alpha.empty()) pic.alpha[static_cast<size_t>(y) * pic.width + x] = static_cast<uint8_t>(v >> 24);
    }
  }
  return pic;
}

bool SaveBmpFile(TCustomDIBX& surface, const std::string& fileName) {
  if (fileName.size() < 4) return false;
  std::string ext = fileName.substr(fileName.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext != ".bmp") return false;
  const int w = surface.Width(), h = surface.Height();
  const int stride = ((w * 24 + 31) / 32) * 4;
  TMemoryStream out;
  TBinaryWriter wr(out);
  wr.FixedText("BM");
  wr.UInt32(static_cast<uint32_t>(54 + stride * h));
  wr.UInt32(0);
  wr.UInt32(54);
  wr.UInt32(40);
  wr.Int32(w);
  wr.Int32(h);
  wr.UInt16(1);
  wr.UInt16(24);
  wr.UInt32(0);
  wr.UInt32(static_cast<uint32_t>(stride * h));
  wr.Int32(2835);
  wr.Int32(2835);
  wr.UInt32(0);
  wr.UInt32(0);
  std::vector<uint8_t> row(static_cast<size_t>(stride));
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t rgb = surface.PixelToRgb(surface.GetPixel(x, y));
      row[x * 3] = static_cast<uint8_t>(rgb), row[x * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(rgb >> 16);
    }
    wr.Bytes(row.data(), stride);
  }
  return WriteFileAtomically(fileName, std::string(out.Bytes().begin(), out.Bytes().end()));
}

}  // namespace kivo
