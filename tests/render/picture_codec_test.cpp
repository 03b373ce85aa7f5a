// BMP and PNG loading into surfaces (files written here), damaged input, and the PNG writer.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "platform/kivo_error.h"
#include "render/surface/dibx.h"
#include "render/surface/picture_codec.h"
#include "support/stream.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

void Put16(std::string& s, uint32_t v) { s += static_cast<char>(v), s += static_cast<char>(v >> 8); }
void Put32(std::string& s, uint32_t v) { Put16(s, v & 0xFFFF), Put16(s, v >> 16); }

// A bottom-up BMP of a 3 x 2 picture; rgb are 0x00RRGGBB values (or indexes for <= 8 bits).
std::string MakeBmp(int bits, const std::vector<uint32_t>& pixels, int w, int h, const std::vector<uint32_t>& palette = {},
                    bool topDown = false) {
  const int stride = ((w * bits + 31) / 32) * 4;
  std::string data;
  for (int row = 0; row < h; ++row) {
    const int y = topDown ? row : h - 1 - row;
    std::string line(static_cast<size_t>(stride), '\0');
    for (int x = 0; x < w; ++x) {
      const uint32_t v = pixels[static_cast<size_t>(y) * w + x];
      if (bits == 1) line[x / 8] = static_cast<char>(line[x / 8] | (v << (7 - x % 8)));
      if (bits == 4) line[x / 2] = static_cast<char>(line[x / 2] | (x % 2 ? v : v << 4));
      if (bits == 8) line[x] = static_cast<char>(v);
      if (bits == 16) line[x * 2] = static_cast<char>(v), line[x * 2 + 1] = static_cast<char>(v >> 8);
      for (int k = 0; bits >= 24 && k < bits / 8; ++k) line[x * (bits / 8) + k] = static_cast<char>(v >> (8 * k));
    }
    data += line;
  }
  std::string s = "BM";
  const uint32_t offBits = 54 + static_cast<uint32_t>(palette.size()) * 4;
  Put32(s, offBits + static_cast<uint32_t>(data.size()));
  Put32(s, 0);
  Put32(s, offBits);
  Put32(s, 40);
  Put32(s, static_cast<uint32_t>(w));
  Put32(s, static_cast<uint32_t>(topDown ? -h : h));
  Put16(s, 1);
  Put16(s, static_cast<uint32_t>(bits));
  Put32(s, 0);
  Put32(s, static_cast<uint32_t>(data.size()));
  Put32(s, 0), Put32(s, 0);
  Put32(s, static_cast<uint32_t>(palette.size()));
  Put32(s, 0);
  for (uint32_t c : palette) Put32(s, c);
  return s + data;
}

TMemoryStream StreamOf(const std::string& bytes) { return TMemoryStream(std::vector<uint8_t>(bytes.begin(), bytes.end())); }

TEST(PictureCodec, BmpInEveryBitCountIntoA32BitSurface) {
  const std::vector<uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080};
  const std::vector<uint32_t> indexes = {1, 2, 3, 4, 0, 5};
  struct {
    int bits;
    std::string bytes;
  } const files[] = {
      {24, MakeBmp(24, rgb, 3, 2)},
      {32, MakeBmp(32, rgb, 3, 2)},
      {32, MakeBmp(32, rgb, 3, 2, {}, true)},
      {8, MakeBmp(8, indexes, 3, 2, palette)},
      {4, MakeBmp(4, indexes, 3, 2, std::vector<uint32_t>(palette.begin(), palette.end()))},
  };
  for (const auto& f : files) {
    TDIBX s(1, 1, 32);
    TMemoryStream stream = StreamOf(f.bytes);
    s.LoadFromStream(stream, 0);
    ASSERT_EQ(s.Width(), 3) << f.bits;
    ASSERT_EQ(s.Height(), 2);
    EXPECT_EQ(s.BitCount(), 32) << "the surface keeps its bit count";
    for (int i = 0; i < 6; ++i) EXPECT_EQ(s.GetPixel(i % 3, i / 3), rgb[i]) << f.bits << " pixel " << i;
  }
  // 1 bit, into a 16-bit surface: converted through its masks.
  TDIBX s16(1, 1, 16);
  TMemoryStream mono = StreamOf(MakeBmp(1, {1, 0, 1, 0, 1, 0}, 3, 2, {0x000000, 0xFFFFFF}));
  s16.LoadFromStream(mono, 0);
  EXPECT_EQ(s16.GetPixel(0, 0), 0xFFFFu);
  EXPECT_EQ(s16.GetPixel(1, 0), 0u);
  // An indexed surface takes the indexes and the colour table.
  TDIBX s8(1, 1, 8);
  TMemoryStream eight = StreamOf(MakeBmp(8, indexes, 3, 2, palette));
  s8.LoadFromStream(eight, 0);
  EXPECT_EQ(s8.GetPixel(2, 1), 5u);
  TPaletteEntry e;
  s8.GetPaletteEntries(&e, 1, 1);
  EXPECT_EQ(e, (TPaletteEntry{0xFF, 0, 0, 0}));
}

TEST(PictureCodec, Bmp32FourthByteIsAlphaAndRleIsRead) {
  TMemoryStream s32 = StreamOf(MakeBmp(32, {0x80FF0000, 0, 0}, 3, 1));
  TPicture pic = DecodeBmp(s32);
  ASSERT_EQ(pic.alpha.size(), 3u);
  EXPECT_EQ(pic.alpha[0], 0x80);
  // RLE8: a run of 3 x index 1, end of line, a literal of 3 (padded to 16 bits), end of bitmap.
  std::string bmp = MakeBmp(8, {0, 0, 0, 0, 0, 0}, 3, 2, {0x000000, 0x0000FF, 0x00FF00});
  const std::string rle = std::string("\x03\x01\x00\x00\x00\x03\x02\x01\x00\x00\x00\x01", 12);
  bmp = bmp.substr(0, 54 + 12) + rle;
  bmp[30] = 1;  // compression: RLE8
  TMemoryStream stream = StreamOf(bmp);
  pic = DecodeBmp(stream);
  EXPECT_EQ(pic.rgb[3], 0x0000FFu) << "bottom row first";
  EXPECT_EQ(pic.rgb[0], 0x00FF00u);
  EXPECT_EQ(pic.rgb[1], 0x0000FFu);
  EXPECT_EQ(pic.rgb[2], 0x000000u);
}

std::string Chunk(const char* type, const std::string& body) {
  std::string s;
  const uint32_t n = static_cast<uint32_t>(body.size());
  s += static_cast<char>(n >> 24), s += static_cast<char>(n >> 16), s += static_cast<char>(n >> 8), s += static_cast<char>(n);
  std::string typed = std::string(type, 4) + body;
  const uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())));
  s += typed;
  s += static_cast<char>(crc >> 24), s += static_cast<char>(crc >> 16), s += static_cast<char>(crc >> 8), s += static_cast<char>(crc);
  return s;
}

// A PNG of 8-bit samples; rows are the raw sample bytes without the filter byte.
std::string MakePng(int w, int h, int colorType, const std::vector<std::string>& rows, const std::string& plte = "",
                    const std::string& trns = "") {
  std::string ihdr;
  for (int v : {w, h}) ihdr += std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
  ihdr += std::string{8, static_cast<char>(colorType), 0, 0, 0};
  std::string raw;
  for (const std::string& r : rows) raw += '\0' + r;
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string z(size, '\0');
  compress(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
  z.resize(size);
  std::string png = "\x89PNG\r\n\x1a\n" + Chunk("IHDR", ihdr);
  if (!plte.empty()) png += Chunk("PLTE", plte);
  if (!trns.empty()) png += Chunk("tRNS", trns);
  return png + Chunk("IDAT", z) + Chunk("IEND", "");
}

TEST(PictureCodec, PngAlphaTransparentColourAndPalette) {
  // RGBA: the alpha channel becomes the picture's alpha.
  TMemoryStream rgba = StreamOf(MakePng(2, 1, 6, {std::string("\xFF\x00\x00\x80\x00\x00\xFF\xFF", 8)}));
  TPicture pic = DecodePng(rgba);
  EXPECT_EQ(pic.rgb[0], 0xFF0000u);
  ASSERT_EQ(pic.alpha.size(), 2u);
  EXPECT_EQ(pic.alpha[0], 0x80);
  EXPECT_EQ(pic.alpha[1], 0xFF);
  // RGB with tRNS: a transparent colour (platform order, red low) and no alpha.
  TMemoryStream keyed = StreamOf(MakePng(1, 1, 2, {std::string("\x10\x20\x30", 3)}, "", std::string("\x00\x10\x00\x20\x00\x30", 6)));
  pic = DecodePng(keyed);
  EXPECT_EQ(pic.transparentColor, 0x302010);
  EXPECT_TRUE(pic.alpha.empty());
  EXPECT_EQ(pic.rgb[0], 0x102030u);
  // Palette with one clear entry: the transparent colour is that index, flagged.
  const std::string plte("\x00\x00\x00\xFF\x00\x00\x00\x00\xFF", 9);
  TMemoryStream pal = StreamOf(MakePng(3, 1, 3, {std::string("\x01\x02\x00", 3)}, plte, std::string("\xFF\xFF\x00", 3)));
  pic = DecodePng(pal);
  EXPECT_EQ(pic.transparentColor, 0x1000002);
  EXPECT_EQ(pic.indexes, (std::vector<uint8_t>{1, 2, 0}));
  EXPECT_EQ(pic.rgb[0], 0xFF0000u);
  // Partial palette alpha is an alpha channel instead.
  TMemoryStream partial = StreamOf(MakePng(1, 1, 3, {std::string("\x01", 1)}, plte, std::string("\xFF\x40", 2)));
  pic = DecodePng(partial);
  EXPECT_EQ(pic.transparentColor, -1);
  ASSERT_EQ(pic.alpha.size(), 1u);
  EXPECT_EQ(pic.alpha[0], 0x40);
  // Through a surface: the PNG is found by its signature.
  TDIBX s(1, 1, 16);
  TMemoryStream again = StreamOf(MakePng(3, 1, 3, {std::string("\x01\x02\x00", 3)}, plte));
  s.LoadFromStream(again, 0);
  EXPECT_EQ(s.Width(), 3);
  EXPECT_EQ(s.GetPixel(0, 0), 0xF800u);
  EXPECT_EQ(s.GetPixel(1, 0), 0x001Fu);
}

TEST(PictureCodec, DamagedOrHostileInputRaisesAClearError) {
  const std::string bmp = MakeBmp(24, {1, 2, 3, 4, 5, 6}, 3, 2);
  std::string huge = bmp;
  huge[18] = '\x00', huge[19] = '\x00', huge[20] = '\x01', huge[21] = '\x00';  // width 65536
  std::string wide = bmp;
  wide[18] = '\x00', wide[19] = '\x40', wide[20] = '\x00', wide[21] = '\x00';  // 16384 wide, data for 3
  std::string badBits = bmp;
  badBits[28] = 7;
  const std::string png = MakePng(2, 1, 6, {std::string(8, '\x11')});
  std::string bigPng = png;
  bigPng[16] = '\x7F';  // width 0x7F000002
  std::string badCrc = png;
  badCrc[png.size() - 20] ^= 0x55;
  const std::string cases[] = {bmp.substr(0, 30), bmp.substr(0, bmp.size() - 1), huge, wide, badBits,
                               png.substr(0, 40), bigPng, badCrc, png.substr(0, 12)};
  for (const std::string& bytes : cases) {
    TDIBX s(2, 2, 32);
    s.SetPixel(0, 0, 0x123456);
    TMemoryStream stream = StreamOf(bytes);
    EXPECT_THROW(s.LoadFromStream(stream, 0), EKivoError) << bytes.size();
    EXPECT_EQ(s.Width(), 2) << "a failed load leaves the surface unchanged";
    EXPECT_EQ(s.GetPixel(0, 0), 0x123456u);
  }
  // Random damage never crashes: either an error or a picture.
  std::mt19937 rng(7);
  for (int trial = 0; trial < 300; ++trial) {
    std::string bytes = trial % 2 ? bmp : png;
    for (int k = 0; k < 4; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
    TDIBX s(1, 1, 32);
    TMemoryStream stream = StreamOf(bytes);
    try {
      s.LoadFromStream(stream, 0);
    } catch (const EKivoError&) {
    }
  }
  // Other content is not a picture: nothing happens.
  TDIBX s(2, 2, 32);
  TMemoryStream other = StreamOf("GIF89a......");
  s.LoadFromStream(other, 0);
  EXPECT_EQ(s.Width(), 2);
}

TEST(PictureCodec, LoadFromFileOnlyForBmpAndSaveToFile) {
  testkit::TempFolder folder;
  const std::string bmp = MakeBmp(24, {0xFF0000, 0x00FF00, 0x0000FF, 0, 0, 0}, 3, 2);
  TDIBX s(1, 1, 32);
  s.LoadFromFile(folder.Write("a.png", bmp));
  EXPECT_EQ(s.Width(), 1) << "only the .bmp extension is loaded";
  s.LoadFromFile(folder.File("missing.bmp"));
  EXPECT_EQ(s.Width(), 1);
  s.LoadFromFile(folder.Write("A.BMP", bmp));
  EXPECT_EQ(s.Width(), 3);
  TDIBX s15(1, 1, 15);
  s15.LoadFromFile(folder.File("A.BMP"));
  s15.SaveToFile(folder.File("out.bmp"));
  TDIBX back(1, 1, 32);
  back.LoadFromFile(folder.File("out.bmp"));
  EXPECT_EQ(back.GetPixel(1, 0), 0x00FF00u) << "through 5-5-5 and back";
}

TEST(PictureCodec, PngWriterRoundTrip) {
  testkit::TempFolder folder;
  for (int bits : {16, 32, 8}) {
    TDIBX s(7, 5, bits), mask(7, 5, 8);
    if (bits == 8) {
      TPaletteEntry grey[256];
      for (int i = 0; i < 256; ++i) grey[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
      s.SetPalette(grey);
    }
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) {
        s.SetPixel(x, y, static_cast<uint32_t>(s.ColorToPixel(x * 36 | (y * 60) << 8 | 0x800000)));
        mask.SetPixel(x, y, static_cast<uint32_t>(x * 40));
      }
    const std::string path = folder.File("shot.png");
    ASSERT_TRUE(SavePngFile(s, path, bits == 32 ? &mask : nullptr));
    TMemoryStream stream = StreamOf(folder.Read("shot.png"));
    const TPicture pic = DecodePng(stream);
    ASSERT_EQ(pic.width, 7);
    EXPECT_EQ(pic.alpha.empty(), bits != 32);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(pic.rgb[static_cast<size_t>(y) * 7 + x], s.PixelToRgb(s.GetPixel(x, y)));
    if (bits == 32) {
      EXPECT_EQ(pic.alpha[6], 240);
    }
  }
}

}  // namespace
}  // namespace kivo
