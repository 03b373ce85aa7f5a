// Per-pixel results of every compositing operation in each format, and the fast rows against the scalar ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "render/surface/dibx.h"
#include "render/surface/row_kernels.h"

namespace kivo {
namespace {

enum class Op { Alpha, Add, Masked, MaskedAlpha, MaskedAdd, MaskColor, BlendRect, AddRect, SubRect, Draw };

struct Case {
  const char* name;
  int bits;
  Op op;
  uint32_t dest;
  uint32_t source;  // the colour value for MaskColor and the rectangle operations
  int param;        // alpha or amount
  int mask;         // mask value for the masked operations
  uint32_t expected;
  int32_t key = -1;  // the source's TransparentColor
};

uint32_t RunOne(const Case& c) {
  TDIBX dst(1, 1, c.bits), src(1, 1, c.bits), mask(1, 1, 8);
  dst.SetPixel(0, 0, c.dest);
  src.SetPixel(0, 0, c.source);
  src.TransparentColor = c.key;
  mask.SetPixel(0, 0, static_cast<uint32_t>(c.mask));
  const TRect one{0, 0, 1, 1};
  const bool key = c.key >= 0;
  switch (c.op) {
    case Op::Alpha: dst.DrawAlpha(0, 0, c.param, false, false, key, one, src); break;
    case Op::Add: dst.DrawAdd(0, 0, c.param, false, false, key, one, src); break;
    case Op::Masked: dst.DrawMasked(0, 0, mask, false, false, one, src); break;
    case Op::MaskedAlpha: dst.DrawMaskedAlpha(0, 0, c.param, mask, false, false, one, src); break;
    case Op::MaskedAdd: dst.DrawMaskedAdd(0, 0, c.param, mask, false, false, one, src); break;
    case Op::MaskColor: dst.DrawMaskColor(0, 0, c.param, c.source, false, false, one, mask); break;
    case Op::BlendRect: dst.BlendRect(one, c.source, c.param); break;
    case Op::AddRect: dst.AddRect(one, c.source); break;
    case Op::SubRect: dst.SubRect(one, c.source); break;
    case Op::Draw: dst.Draw(0, 0, false, false, key, one, src); break;
  }
  return dst.GetPixel(0, 0);
}

const Case kCases[] = {
    // DrawAlpha: ((d x (255 - a) + a x s) >> 8) per channel.
    {"alpha32", 32, Op::Alpha, 0x102030, 0xFFFFFF, 128, 0, 0x878F97},
    {"alpha32 equal pixel never drifts", 32, Op::Alpha, 0x123456, 0x123456, 100, 0, 0x123456},
    {"alpha32 key pixel skipped", 32, Op::Alpha, 0x000000, 0x00FF00, 200, 0, 0x000000, 0x00FF00},
    {"alpha32 clears the fourth byte", 32, Op::Alpha, 0xFF000000, 0xFF000000 | 0x200000, 128, 0, 0x100000},
    {"alpha16 at 255 darkens white", 16, Op::Alpha, 0x0000, 0xFFFF, 255, 0, 0xF7DE},
    {"alpha15 at 255 darkens white", 15, Op::Alpha, 0x0000, 0x7FFF, 255, 0, 0x7BDE},
    {"alpha16 half", 16, Op::Alpha, 0xFFFF, 0x0000, 128, 0, 0x7BEF},
    {"alpha24 generic path", 24, Op::Alpha, 0x000000, 0xFFFFFF, 128, 0, 0x7F7F7F},
    {"alpha8", 8, Op::Alpha, 0, 200, 128, 0, 100},
    {"alpha4", 4, Op::Alpha, 0, 15, 128, 0, 7},
    {"alpha1 at 255 cannot set a bit", 1, Op::Alpha, 0, 1, 255, 0, 0},
    {"alpha1 equal pixel kept", 1, Op::Alpha, 1, 1, 255, 0, 1},
    // DrawAdd: min(M, d + ((amount x s) >> 8)).
    {"add32", 32, Op::Add, 0x808080, 0x808080, 128, 0, 0xC0C0C0},
    {"add32 saturates per channel", 32, Op::Add, 0xF01010, 0xFF0000, 255, 0, 0xFF1010},
    {"add32 key skipped", 32, Op::Add, 0x101010, 0x404040, 255, 0, 0x101010, 0x404040},
    {"add16 saturates red only", 16, Op::Add, 0xF800, 0xF81F, 255, 0, 0xF81E},
    {"add15", 15, Op::Add, 0x4210, 0x4210, 255, 0, 0x7FFF},
    {"add8 adds raw values whatever the amount", 8, Op::Add, 200, 100, 1, 0, 255},
    {"add8 below the limit", 8, Op::Add, 10, 20, 1, 0, 30},
    {"add4 adds raw values", 4, Op::Add, 3, 4, 1, 0, 7},
    {"add1 adds raw values", 1, Op::Add, 0, 1, 1, 0, 1},
    {"add24", 24, Op::Add, 0x808080, 0x808080, 128, 0, 0xC0C0C0},
    {"add24 saturates per channel", 24, Op::Add, 0xF01010, 0xFF0000, 255, 0, 0xFF1010},
    {"add24 key skipped", 24, Op::Add, 0x101010, 0x404040, 255, 0, 0x101010, 0x404040},
    // DrawMasked: m 0 keeps, m 255 copies the stored value, otherwise blends by m.
    {"masked32 m0", 32, Op::Masked, 0x123456, 0xFFFFFF, 0, 0, 0x123456},
    {"masked32 m255 copies as stored", 32, Op::Masked, 0, 0xAB123456, 0, 255, 0xAB123456},
    {"masked32 m128", 32, Op::Masked, 0, 0xFFFFFF, 0, 128, 0x7F7F7F},
    {"masked16 m128", 16, Op::Masked, 0, 0xFFFF, 0, 128, 0x7BEF},
    {"masked ignores the key", 32, Op::Masked, 0, 0x00FF00, 0, 255, 0x00FF00, 0x00FF00},
    {"masked24 m0", 24, Op::Masked, 0x123456, 0xFFFFFF, 0, 0, 0x123456},
    {"masked24 m128", 24, Op::Masked, 0, 0xFFFFFF, 0, 128, 0x7F7F7F},
    {"masked15 m128", 15, Op::Masked, 0, 0x7FFF, 0, 128, 0x3DEF},
    {"masked15 m255 copies as stored", 15, Op::Masked, 0, 0xFC00, 0, 255, 0xFC00},
    {"masked8 m128", 8, Op::Masked, 0, 200, 0, 128, 100},
    {"masked8 m255", 8, Op::Masked, 0, 200, 0, 255, 200},
    {"masked4 m128", 4, Op::Masked, 0, 14, 0, 128, 7},
    {"masked4 m255", 4, Op::Masked, 0, 14, 0, 255, 14},
    {"masked1 m255", 1, Op::Masked, 0, 1, 0, 255, 1},
    {"masked1 m128 rounds down", 1, Op::Masked, 0, 1, 0, 128, 0},
    // DrawMaskedAlpha: b = (alpha x m) >> 8, then the blend by b.
    {"maskedAlpha32", 32, Op::MaskedAlpha, 0, 0xFFFFFF, 128, 255, 0x7E7E7E},
    {"maskedAlpha32 b=0 still darkens", 32, Op::MaskedAlpha, 0xFFFFFF, 0, 255, 1, 0xFEFEFE},
    {"maskedAlpha32 m0 keeps", 32, Op::MaskedAlpha, 0xFFFFFF, 0, 255, 0, 0xFFFFFF},
    {"maskedAlpha16", 16, Op::MaskedAlpha, 0, 0xFFFF, 255, 255, 0xF7DE},
    {"maskedAlpha15", 15, Op::MaskedAlpha, 0, 0x7FFF, 255, 255, 0x7BDE},
    {"maskedAlpha24", 24, Op::MaskedAlpha, 0, 0xFFFFFF, 128, 255, 0x7E7E7E},
    {"maskedAlpha8", 8, Op::MaskedAlpha, 0, 200, 255, 255, 198},
    {"maskedAlpha4", 4, Op::MaskedAlpha, 0, 15, 255, 255, 14},
    {"maskedAlpha1 clears a bit", 1, Op::MaskedAlpha, 1, 0, 255, 255, 0},
    // DrawMaskedAdd.
    {"maskedAdd32", 32, Op::MaskedAdd, 0x101010, 0x808080, 255, 255, 0x8F8F8F},
    {"maskedAdd16", 16, Op::MaskedAdd, 0x0000, 0xFFFF, 255, 128, 0x7BEF},
    {"maskedAdd15 saturates red only", 15, Op::MaskedAdd, 0x7C00, 0x7FFF, 255, 255, 0x7FDE},
    {"maskedAdd24", 24, Op::MaskedAdd, 0x101010, 0x808080, 255, 255, 0x8F8F8F},
    {"maskedAdd8 scales the source", 8, Op::MaskedAdd, 10, 200, 255, 128, 109},
    {"maskedAdd4", 4, Op::MaskedAdd, 1, 8, 255, 255, 8},
    {"maskedAdd1 scaled below one adds nothing", 1, Op::MaskedAdd, 0, 1, 255, 255, 0},
    // DrawMaskColor paints one colour through the mask.
    {"maskColor32", 32, Op::MaskColor, 0, 0xFF0000, 255, 255, 0xFD0000},
    {"maskColor15", 15, Op::MaskColor, 0, 0x7C00, 255, 255, 0x7800},
    {"maskColor16", 16, Op::MaskColor, 0, 0x07E0, 255, 255, 0x07C0},
    {"maskColor24", 24, Op::MaskColor, 0, 0xFF0000, 255, 255, 0xFD0000},
    {"maskColor8", 8, Op::MaskColor, 0, 200, 255, 255, 198},
    {"maskColor4", 4, Op::MaskColor, 0, 15, 255, 255, 14},
    {"maskColor1 clears a bit", 1, Op::MaskColor, 1, 0, 255, 255, 0},
    // Rectangle operations.
    {"blendRect16", 16, Op::BlendRect, 0, 0xFFFF, 128, 0, 0x7BEF},
    {"blendRect equal pixel kept", 32, Op::BlendRect, 0x808080, 0x808080, 10, 0, 0x808080},
    {"addRect32 saturates", 32, Op::AddRect, 0xF00000, 0x200001, 0, 0, 0xFF0001},
    {"subRect32 stops at 0", 32, Op::SubRect, 0x100020, 0x200010, 0, 0, 0x000010},
    {"subRect16", 16, Op::SubRect, 0x8410, 0x0841, 0, 0, 0x7BCF},
    {"blendRect15", 15, Op::BlendRect, 0, 0x7FFF, 128, 0, 0x3DEF},
    {"blendRect24", 24, Op::BlendRect, 0, 0xFFFFFF, 128, 0, 0x7F7F7F},
    {"blendRect8", 8, Op::BlendRect, 0, 200, 128, 0, 100},
    {"blendRect4", 4, Op::BlendRect, 15, 0, 128, 0, 7},
    {"blendRect1 clears a bit", 1, Op::BlendRect, 1, 0, 255, 0, 0},
    {"addRect16 saturates red only", 16, Op::AddRect, 0xF000, 0x1041, 0, 0, 0xF841},
    {"addRect15 saturates red only", 15, Op::AddRect, 0x7C00, 0x0421, 0, 0, 0x7C21},
    {"addRect24 saturates", 24, Op::AddRect, 0xF00000, 0x200001, 0, 0, 0xFF0001},
    {"addRect8 saturates", 8, Op::AddRect, 200, 100, 0, 0, 255},
    {"addRect4", 4, Op::AddRect, 5, 6, 0, 0, 11},
    {"addRect1", 1, Op::AddRect, 0, 1, 0, 0, 1},
    {"subRect15 stops at 0 in blue", 15, Op::SubRect, 0x4200, 0x0421, 0, 0, 0x3DE0},
    {"subRect24 stops at 0", 24, Op::SubRect, 0x100020, 0x200010, 0, 0, 0x000010},
    {"subRect8 stops at 0", 8, Op::SubRect, 10, 20, 0, 0, 0},
    {"subRect4 stops at 0", 4, Op::SubRect, 5, 6, 0, 0, 0},
    {"subRect1", 1, Op::SubRect, 1, 1, 0, 0, 0},
    // Draw copies stored values; a key pixel stays out.
    {"draw key", 16, Op::Draw, 0x1111, 0x2222, 0, 0, 0x1111, 0x2222},
    {"draw", 16, Op::Draw, 0x1111, 0x2222, 0, 0, 0x2222},
    {"draw32 copies the fourth byte", 32, Op::Draw, 0x111111, 0xFF222222, 0, 0, 0xFF222222},
    {"draw24 key", 24, Op::Draw, 0x111111, 0x222222, 0, 0, 0x111111, 0x222222},
    {"draw15", 15, Op::Draw, 0x1111, 0x2222, 0, 0, 0x2222},
    {"draw8", 8, Op::Draw, 7, 9, 0, 0, 9},
    {"draw4 key", 4, Op::Draw, 3, 12, 0, 0, 3, 12},
    {"draw4", 4, Op::Draw, 3, 12, 0, 0, 12},
    {"draw1", 1, Op::Draw, 0, 1, 0, 0, 1},
};

TEST(PixelFormulas, EachOperationAndFormat) {
  for (TFastPath path : {TFastPath::Scalar, TFastPath::Sse2, TFastPath::Avx2}) {
    SetFastPath(path);
    for (const Case& c : kCases) EXPECT_EQ(RunOne(c), c.expected) << c.name << " path " << static_cast<int>(path);
  }
  SetFastPath(BestFastPath());
  // The table keeps at least one case of every operation in every format.
  for (int bits : {1, 4, 8, 15, 16, 24, 32})
    for (int op = 0; op <= static_cast<int>(Op::Draw); ++op)
      EXPECT_TRUE(std::ranges::any_of(kCases, [&](const Case& c) { return c.bits == bits && c.op == static_cast<Op>(op); }))
          << "no case for operation " << op << " at " << bits << " bits";
}

TEST(PixelFormulas, ZeroAlphaOrAmountDrawsNothing) {
  for (Op op : {Op::Alpha, Op::Add, Op::MaskedAlpha, Op::MaskedAdd, Op::MaskColor, Op::BlendRect})
    EXPECT_EQ(RunOne({"zero", 32, op, 0x123456, 0xFFFFFF, 0, 255, 0x123456}), 0x123456u);
}

TEST(PixelFormulas, IndexedDrawsThroughTables) {
  TDIBX src(4, 1, 4), dst(4, 1, 32);
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, static_cast<uint32_t>(x));
  src.TransparentColor = 2;
  uint32_t table[16] = {};
  for (int i = 0; i < 16; ++i) table[i] = 0x010101u * static_cast<uint32_t>(i * 16);
  dst.Fill(0x000000);
  dst.DrawIndexed4(0, 0, 255, table, false, false, {0, 0, 4, 1}, src);
  EXPECT_EQ(dst.GetPixel(1, 0), 0x101010u);
  EXPECT_EQ(dst.GetPixel(2, 0), 0u) << "transparent index";
  EXPECT_EQ(dst.GetPixel(3, 0), 0x303030u);
  dst.Fill(0x000000);
  dst.DrawIndexed4(0, 0, 128, table, false, true, {0, 0, 4, 1}, src);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x181818u) << "flipped: index 3 at 128";
  EXPECT_EQ(dst.GetPixel(1, 0), 0u);

  TDIBX heat(3, 1, 8), out(3, 1, 32);
  uint32_t heatTable[256] = {};
  for (int i = 0; i < 256; ++i) heatTable[i] = static_cast<uint32_t>(i) << 16;
  heat.SetPixel(0, 0, 5), heat.SetPixel(1, 0, 6), heat.SetPixel(2, 0, 200);
  heat.TransparentColor = 5;
  out.Fill(0x00800000);
  out.DrawIndexedAdd(0, 0, heatTable, false, false, {0, 0, 3, 1}, heat);
  EXPECT_EQ(out.GetPixel(0, 0), 0x800000u) << "at or below the transparent index";
  EXPECT_EQ(out.GetPixel(1, 0), 0x860000u);
  EXPECT_EQ(out.GetPixel(2, 0), 0xFF0000u);
}

// The SSE2 and AVX2 rows must give exactly the scalar rows' pixels.
TEST(PixelFormulas, FastRowsMatchScalarOnRandomData) {
  if (BestFastPath() == TFastPath::Scalar) GTEST_SKIP() << "no vector loops on this host";
  std::mt19937 rng(1234);  // 32-bit results
  struct Named {
    const char* name;
    std::function<void(TDIBX& d, TDIBX& s, TDIBX& m, int param, const TRect& r, bool flipH)> run;
  };
  const Named ops[] = {
      {"Draw", [](TDIBX& d, TDIBX& s, TDIBX&, int, const TRect& r, bool h) { d.Draw(1, 0, false, h, false, r, s); }},
      {"Draw with key", [](TDIBX& d, TDIBX& s, TDIBX&, int, const TRect& r, bool h) { d.Draw(1, 0, false, h, true, r, s); }},
      {"DrawAlpha", [](TDIBX& d, TDIBX& s, TDIBX&, int a, const TRect& r, bool h) { d.DrawAlpha(1, 0, a, false, h, true, r, s); }},
      {"DrawAdd", [](TDIBX& d, TDIBX& s, TDIBX&, int a, const TRect& r, bool h) { d.DrawAdd(1, 0, a, false, h, true, r, s); }},
      {"DrawMasked", [](TDIBX& d, TDIBX& s, TDIBX& m, int, const TRect& r, bool h) { d.DrawMasked(1, 0, m, false, h, r, s); }},
      {"DrawMaskedAlpha", [](TDIBX& d, TDIBX& s, TDIBX& m, int a, const TRect& r, bool h) { d.DrawMaskedAlpha(1, 0, a, m, false, h, r, s); }},
      {"DrawMaskedAdd", [](TDIBX& d, TDIBX& s, TDIBX& m, int a, const TRect& r, bool h) { d.DrawMaskedAdd(1, 0, a, m, false, h, r, s); }},
      {"DrawMaskColor", [](TDIBX& d, TDIBX& s, TDIBX& m, int a, const TRect& r, bool h) { d.DrawMaskColor(1, 0, a, s.GetPixel(0, 0), false, h, r, m); }},
      {"BlendRect", [](TDIBX& d, TDIBX& s, TDIBX&, int a, const TRect& r, bool) { d.BlendRect(r, s.GetPixel(1, 1), a); }},
      {"AddRect", [](TDIBX& d, TDIBX& s, TDIBX&, int, const TRect& r, bool) { d.AddRect(r, s.GetPixel(1, 1)); }},
      {"SubRect", [](TDIBX& d, TDIBX& s, TDIBX&, int, const TRect& r, bool) { d.SubRect(r, s.GetPixel(1, 1)); }},
      {"FillRect", [](TDIBX& d, TDIBX& s, TDIBX&, int, const TRect& r, bool) { d.FillRect(r, s.GetPixel(0, 0)); }},
  };
  for (int fast = static_cast<int>(TFastPath::Sse2); fast <= static_cast<int>(BestFastPath()); ++fast)
  for (int bits : {15, 16, 32}) {
    const uint32_t valueMask = bits == 32 ? 0x7FFFFFFF : 0xFFFF;
    for (const Named& op : ops) {
      for (int trial = 0; trial < 80; ++trial) {
        const int w = 1 + static_cast<int>(rng() % 37), h = 1 + static_cast<int>(rng() % 3);
        TDIBX src(w, h, bits), mask(w, h, 8), a(w + 2, h, bits), b(w + 2, h, bits);
        // Few distinct values, so that equal pixels and key pixels do occur.
        const uint32_t palette[4] = {static_cast<uint32_t>(rng() & valueMask), static_cast<uint32_t>(rng() & valueMask), static_cast<uint32_t>(rng() & valueMask), static_cast<uint32_t>(rng() & valueMask)};
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) {
            src.SetPixel(x, y, rng() % 3 ? rng() & valueMask : palette[rng() % 4]);
            const uint32_t mv = rng() % 4;
            mask.SetPixel(x, y, mv == 0 ? 0 : mv == 1 ? 255 : rng() & 0xFF);
          }
          for (int x = 0; x < w + 2; ++x) {
            const uint32_t v = rng() % 3 ? rng() & valueMask : palette[rng() % 4];
            a.SetPixel(x, y, v), b.SetPixel(x, y, v);
          }
        }
        src.TransparentColor = static_cast<int32_t>(palette[0]);
        const int param = static_cast<int>(1 + rng() % 255);
        const TRect r{0, 0, w, h};
        const bool flipH = trial % 2;  // every other trial mirrored
        SetFastPath(TFastPath::Scalar);
        op.run(a, src, mask, param, r, flipH);
        SetFastPath(static_cast<TFastPath>(fast));
        op.run(b, src, mask, param, r, flipH);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w + 2; ++x)
            ASSERT_EQ(a.GetPixel(x, y), b.GetPixel(x, y)) << op.name << " path " << fast << " bits " << bits << " width "
                                                          << w << " flipH " << flipH << " at " << x << "," << y
                                                          << " param " << param;
      }
    }
  }
  SetFastPath(BestFastPath());
}

}  // namespace
}  // namespace kivo
