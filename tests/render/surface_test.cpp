// TDIBX storage, clipping of the unscaled draws, fills, frames, ColorToPixel and Assign.
#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "render/surface/dibx.h"

namespace kivo {
namespace {

TEST(Surface, FormatsStorageAndPitch) {
  TDIBX fresh;
  EXPECT_EQ(fresh.Width(), 1);
  EXPECT_EQ(fresh.Height(), 1);
  EXPECT_EQ(fresh.BitCount(), 15);
  struct {
    int bits, storage, bitCount;
    uint32_t r, g, b;
  } const formats[] = {{15, 16, 15, 0x7C00, 0x03E0, 0x1F}, {16, 16, 16, 0xF800, 0x07E0, 0x1F},
                       {32, 32, 32, 0xFF0000, 0xFF00, 0xFF},  {24, 24, 24, 0xFF0000, 0xFF00, 0xFF},
                       {8, 8, 8, 0xFF0000, 0xFF00, 0xFF},     {4, 4, 4, 0xFF0000, 0xFF00, 0xFF},
                       {1, 1, 1, 0xFF0000, 0xFF00, 0xFF}};
  for (const auto& f : formats) {
    TDIBX s(5, 3, f.bits);
    EXPECT_EQ(s.StorageBitCount(), f.storage) << f.bits;
    EXPECT_EQ(s.BitCount(), f.bitCount) << f.bits;
    EXPECT_EQ(s.RMask(), f.r) << f.bits;
    EXPECT_EQ(s.GMask(), f.g) << f.bits;
    EXPECT_EQ(s.BMask(), f.b) << f.bits;
    EXPECT_EQ(s.Pitch(), -((5 * f.storage + 31) / 32) * 4) << "bottom-up rows, padded to 4 bytes";
    // Row y lies at row 0 + y x Pitch, and GetPixel reads what SetPixel wrote.
    const uint32_t value = f.storage == 1 ? 1 : f.storage == 4 ? 0xA : f.storage == 8 ? 0xA5 : 0x1234 & (f.storage == 32 ? 0xFFFFFFFF : 0x7FFF);
    s.SetPixel(3, 2, value);
    EXPECT_EQ(s.GetPixel(3, 2), value) << f.bits;
    EXPECT_EQ(s.GetPixel(2, 2), 0u) << f.bits;
    uint8_t* row0 = s.PixelAddress(0, 0);
    uint8_t* row2 = s.PixelAddress(0, 2);
    EXPECT_EQ(row2 - row0, 2 * s.Pitch());
    s.EndPixelAccess();
    s.EndPixelAccess();
  }
  TDIBX s(4, 4, 32);
  EXPECT_EQ(s.GShift(), 8);
  EXPECT_EQ(s.RShift(), 16);
  s.SetBitCount(16);
  EXPECT_EQ(s.Width(), 4);
  EXPECT_EQ(s.BitCount(), 16);
  s.Clear();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.PixelAddress(0, 0), nullptr) << "an empty surface cannot be reached";
  EXPECT_FALSE(s.InPixelAccess());
}

TEST(Surface, OversizedSurfaceIsRefused) {
  TDIBX s;
  EXPECT_THROW(s.SetSize(100000, 100000, 32), EKivoError);
  EXPECT_EQ(s.Width(), 1) << "a refused size leaves the surface as it was";
}

TEST(Surface, ColorToPixel) {
  struct {
    int bits;
    int32_t color, expected;
  } const cases[] = {
      {32, 0x123456, 0x563412},  {32, 0x0000FF, 0xFF0000}, {16, 0xFFFFFF, 0xFFFF}, {16, 0x0000FF, 0xF800},
      {16, 0x00FF00, 0x07E0},    {16, 0xFF0000, 0x001F},   {15, 0x0000FF, 0x7C00}, {15, 0x00FF00, 0x03E0},
      {15, 0x070707, 0x0000},    {15, 0x080808, 0x0421},   {8, 0x123456, 0x123456}, {24, 0x123456, 0x123456},
      {32, -1, -1},              {16, -5, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(TDIBX(1, 1, c.bits).ColorToPixel(c.color), c.expected) << c.bits << " " << c.color;
  TDIBX s16(1, 1, 16);
  EXPECT_EQ(s16.PixelToRgb(0xFFFF), 0xFFFFFFu) << "full channels widen to 255";
  EXPECT_EQ(s16.PixelToRgb(0x8410), 0x848284u);
}

// Every unscaled draw onto black, and what it makes of a source pixel there (channels even, so
// that halving is exact).
struct TClipVariant {
  const char* name;
  int sourceBits;
  void (*draw)(TDIBX& dst, int x, int y, bool flipV, bool flipH, const TRect& r, TDIBX& src, TDIBX& mask);
  uint32_t (*result)(uint32_t s);
};

uint32_t Same(uint32_t s) { return s; }
uint32_t Half(uint32_t s) { return s >> 1; }
uint32_t ByteScaled254(uint32_t s) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) out |= (((s >> shift & 0xFF) * 254) >> 8) << shift;
  return out;
}
uint32_t Grey(uint32_t index) { return index * 0x010101; }

// Index tables of the indexed draws: index i gives Grey(i).
struct TGreyTables {
  uint32_t of16[16];
  uint32_t of256[256];
  TGreyTables() {
    for (uint32_t i = 0; i < 16; ++i) of16[i] = Grey(i);
    for (uint32_t i = 0; i < 256; ++i) of256[i] = Grey(i);
  }
};
const TGreyTables kGreys;

const TClipVariant kClipVariants[] = {
    {"Draw", 32, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX&) { d.Draw(x, y, v, h, false, r, s); }, Same},
    {"DrawAlpha", 32, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX&) { d.DrawAlpha(x, y, 128, v, h, false, r, s); }, Half},
    {"DrawAdd", 32, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX&) { d.DrawAdd(x, y, 128, v, h, false, r, s); }, Half},
    {"DrawMasked", 32, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX& m) { d.DrawMasked(x, y, m, v, h, r, s); }, Same},
    {"DrawMaskedAlpha", 32, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX& m) { d.DrawMaskedAlpha(x, y, 255, m, v, h, r, s); }, ByteScaled254},
    {"DrawMaskedAdd", 32, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX& m) { d.DrawMaskedAdd(x, y, 255, m, v, h, r, s); }, ByteScaled254},
    {"DrawIndexed4", 4, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX&) { d.DrawIndexed4(x, y, 255, kGreys.of16, v, h, r, s); }, Grey},
    {"DrawIndexedAdd", 8, [](TDIBX& d, int x, int y, bool v, bool h, const TRect& r, TDIBX& s, TDIBX&) { d.DrawIndexedAdd(x, y, kGreys.of256, v, h, r, s); }, Grey},
};

// Every edge of the clip, with and without flips, against the plain mapping of each pixel; the
// unscaled draws share their clipping.
TEST(Surface, UnscaledClippingAtEveryEdgeWithFlips) {
  const TRect srcRects[] = {{0, 0, 5, 4}, {1, 1, 4, 3}, {-2, -1, 3, 6}};
  const TRect clips[] = {{}, {1, 1, 5, 4}, {2, 0, 3, 6}};
  for (const TClipVariant& variant : kClipVariants) {
    TDIBX src(5, 4, variant.sourceBits), mask(5, 4, 8);
    mask.Fill(255);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) {
        const uint32_t n = static_cast<uint32_t>(1 + y * 5 + x);  // distinct (a 4-bit source keeps n mod 16)
        src.SetPixel(x, y, variant.sourceBits == 32 ? 0x020000 + n * 0x0202 : n);
      }
    for (const TRect& srcRect : srcRects)
      for (const TRect& clip : clips)
        for (int flips = 0; flips < 4; ++flips)
          for (int y = -4; y <= 6; ++y)
            for (int x = -5; x <= 6; ++x) {
              const bool flipV = flips & 1, flipH = flips & 2;
              TDIBX dst(6, 5, 32);
              dst.ClipRect = clip;
              variant.draw(dst, x, y, flipV, flipH, srcRect, src, mask);
              const TRect effective = clip.right ? clip : TRect{0, 0, 6, 5};
              for (int dy = 0; dy < 5; ++dy)
                for (int dx = 0; dx < 6; ++dx) {
                  // Source pixel that belongs at (dx, dy): walk srcRect forwards or backwards.
                  const int i = dx - x, j = dy - y;
                  uint32_t want = 0;
                  if (i >= 0 && j >= 0 && i < srcRect.Width() && j < srcRect.Height() && effective.Contains(dx, dy)) {
                    const int sx = flipH ? srcRect.right - 1 - i : srcRect.left + i;
                    const int sy = flipV ? srcRect.bottom - 1 - j : srcRect.top + j;
                    if (sx >= 0 && sy >= 0 && sx < 5 && sy < 4) want = variant.result(src.GetPixel(sx, sy));
                  }
                  ASSERT_EQ(dst.GetPixel(dx, dy), want) << variant.name << " at " << dx << "," << dy << " draw " << x
                                                        << "," << y << " flipV " << flipV << " flipH " << flipH;
                }
            }
  }
}

TEST(Surface, FlippedDrawCutOnTheLeftLosesSourceColumnsOnTheRight) {
  TDIBX src(4, 1, 16), dst(4, 1, 16);
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, static_cast<uint32_t>(x + 1));
  dst.Draw(-1, 0, false, true, false, {0, 0, 4, 1}, src);
  // Mirrored row is 4 3 2 1; the first destination column falls off, taking source column 3.
  EXPECT_EQ(dst.GetPixel(0, 0), 3u);
  EXPECT_EQ(dst.GetPixel(2, 0), 1u);
  EXPECT_EQ(dst.GetPixel(3, 0), 0u);
}

TEST(Surface, ColourKeyDrawSkipsKeyRuns) {
  TDIBX src(8, 1, 32), dst(8, 1, 32);
  const uint32_t row[8] = {7, 7, 1, 2, 7, 3, 7, 7};
  for (int x = 0; x < 8; ++x) src.SetPixel(x, 0, row[x]);
  src.TransparentColor = 7;
  for (bool flipH : {false, true}) {
    dst.Fill(9);
    dst.Draw(0, 0, false, flipH, true, {0, 0, 8, 1}, src);
    for (int x = 0; x < 8; ++x) {
      const uint32_t s = row[flipH ? 7 - x : x];
      EXPECT_EQ(dst.GetPixel(x, 0), s == 7 ? 9u : s) << x << " flip " << flipH;
    }
  }
  dst.Fill(9);
  dst.Draw(0, 0, false, false, false, {0, 0, 8, 1}, src);
  EXPECT_EQ(dst.GetPixel(0, 0), 7u) << "without useKey the key colour is copied";
}

TEST(Surface, MaskedDrawsUseTheSourceCoordinatesOfTheMask) {
  TDIBX src(4, 1, 32), mask(4, 1, 8), dst(4, 1, 32);
  src.Fill(0xFFFFFF);
  mask.SetPixel(3, 0, 255);
  dst.DrawMasked(0, 0, mask, false, true, {0, 0, 4, 1}, src);
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFFFFFFu) << "the mask mirrors with its source";
  EXPECT_EQ(dst.GetPixel(3, 0), 0u);
  // A mask smaller than the source only covers its own pixels.
  TDIBX small(2, 1, 8);
  small.Fill(255);
  dst.Fill(0);
  dst.DrawMasked(0, 0, small, false, false, {0, 0, 4, 1}, src);
  EXPECT_EQ(dst.GetPixel(1, 0), 0xFFFFFFu);
  EXPECT_EQ(dst.GetPixel(2, 0), 0u);
}

TEST(Surface, MaskColorOutsideItsMaskDrawsNothing) {
  TDIBX mask(4, 4, 8), dst(8, 8, 32);
  mask.Fill(255);
  dst.DrawMaskColor(0, 0, 255, 0xFFFFFF, false, false, {-1, 0, 3, 3}, mask);
  dst.DrawMaskColor(0, 0, 255, 0xFFFFFF, false, false, {1, 1, 5, 3}, mask);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(dst.GetPixel(x, y), 0u);
  dst.DrawMaskColor(6, 6, 255, 0xFFFFFF, false, false, {0, 0, 4, 4}, mask);
  EXPECT_EQ(dst.GetPixel(7, 7), 0xFDFDFDu) << "clipped by the destination it draws";
}

TEST(Surface, ClipRectangleUnion) {
  TDIBX s(10, 10, 16);
  s.AddClipRect({20, 20, 30, 30});
  EXPECT_EQ(s.ClipRect, TRect{}) << "outside the surface: nothing changes";
  s.AddClipRect({-5, 2, 3, 4});
  EXPECT_EQ(s.ClipRect, (TRect{0, 2, 3, 4})) << "clamped to the surface";
  s.AddClipRect({6, 8, 12, 9});
  EXPECT_EQ(s.ClipRect, (TRect{0, 2, 10, 9}));
  s.AddClipRect({-3, -3, -1, -1});
  EXPECT_EQ(s.ClipRect, (TRect{0, 2, 10, 9}));
  s.ResetClip();
  EXPECT_EQ(s.EffectiveClip(), (TRect{0, 0, 10, 10}));
}

TEST(Surface, FillsByFormat) {
  TDIBX s4(5, 2, 4);
  s4.Fill(3);
  const uint8_t* row = s4.PixelAddress(0, 0);
  EXPECT_EQ(row[0], 0x33);
  EXPECT_EQ(row[2], 0x33);
  s4.EndPixelAccess();
  TDIBX s1(9, 1, 1);
  s1.Fill(5);
  EXPECT_EQ(s1.GetPixel(8, 0), 1u) << "any non-zero value sets every bit";
  // 16-bit fills ignore the clip rectangle, 32-bit fills respect it.
  TDIBX s16(4, 4, 16), s32(4, 4, 32);
  s16.ClipRect = s32.ClipRect = {1, 1, 2, 2};
  s16.Fill(0x1234);
  s32.Fill(0x123456);
  EXPECT_EQ(s16.GetPixel(0, 0), 0x1234u);
  EXPECT_EQ(s32.GetPixel(0, 0), 0u);
  EXPECT_EQ(s32.GetPixel(1, 1), 0x123456u);
  TDIBX s24(3, 1, 24), s8(3, 1, 8);
  s24.FillRect({0, 0, 3, 1}, 0xAA112233);
  s8.FillRect({1, 0, 9, 1}, 0x1FF);
  EXPECT_EQ(s24.GetPixel(2, 0), 0x112233u) << "24 bits keep the low three bytes";
  EXPECT_EQ(s8.GetPixel(0, 0), 0u);
  EXPECT_EQ(s8.GetPixel(2, 0), 0xFFu);
}

TEST(Surface, FrameBands) {
  auto count = [](TDIBX& s) {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x) n += s.GetPixel(x, y) != 0;
    return n;
  };
  TDIBX s(10, 10, 32);
  s.FrameRect({1, 1, 9, 9}, 2, 1);
  EXPECT_EQ(count(s), 64 - 16);
  EXPECT_EQ(s.GetPixel(4, 4), 0u);
  EXPECT_EQ(s.GetPixel(2, 5), 1u);
  TDIBX flat(10, 10, 32);
  flat.FrameRect({0, 0, 10, 4}, 2, 1);
  EXPECT_EQ(count(flat), 40) << "2 x width not below the height: only top and bottom";
  TDIBX thin(10, 10, 32);
  thin.FrameRect({0, 0, 10, 3}, 2, 1);
  EXPECT_EQ(count(thin), 30) << "overlapping top and bottom bands";
  TDIBX blend(4, 4, 32);
  blend.BlendFrameRect({0, 0, 4, 4}, 1, 0, 0xFFFFFF);
  EXPECT_EQ(count(blend), 0) << "alpha 0 draws nothing";
  blend.AddFrameRect({0, 0, 4, 4}, 1, 0x000010);
  EXPECT_EQ(count(blend), 12);
}

TEST(Surface, AssignCopiesWholeMemoryOrDraws) {
  TDIBX a(3, 2, 16), b(3, 2, 16), big(5, 5, 16);
  a.SetPixel(2, 1, 0x1234);
  b.ClipRect = {0, 0, 1, 1};
  b.Assign(a);
  EXPECT_EQ(b.GetPixel(2, 1), 0x1234u) << "the memory copy ignores the clip";
  big.Assign(a);
  EXPECT_EQ(big.GetPixel(2, 1), 0x1234u);
  EXPECT_EQ(big.Width(), 5) << "a different size is drawn, not resized";
}

TEST(Surface, PixelAccessClosedOnEveryPath) {
  TDIBX dst(4, 4, 32), src(4, 4, 32), mask(4, 4, 8), empty(4, 4, 8);
  empty.Clear();
  dst.DrawMasked(0, 0, empty, false, false, {0, 0, 4, 4}, src);  // the mask cannot be reached
  dst.DrawAlpha(0, 0, 100, false, false, false, {0, 0, 4, 4}, src);
  dst.DrawMaskedAdd(0, 0, 100, mask, false, false, {0, 0, 4, 4}, src);
  dst.DrawAlpha(10, 10, 100, false, false, false, {0, 0, 4, 4}, src);  // empty intersection
  EXPECT_FALSE(dst.InPixelAccess());
  EXPECT_FALSE(src.InPixelAccess());
  EXPECT_FALSE(mask.InPixelAccess());
}

TEST(Surface, DrawingOntoItselfIsSafe) {
  TDIBX s(8, 1, 32);
  for (int x = 0; x < 8; ++x) s.SetPixel(x, 0, static_cast<uint32_t>(x));
  s.Draw(2, 0, false, false, false, {0, 0, 6, 1}, s);
  EXPECT_EQ(s.GetPixel(7, 0), 5u);
  EXPECT_EQ(s.GetPixel(2, 0), 0u);
}

}  // namespace
}  // namespace kivo
