// Full-frame 800 x 600 draws against memcpy of the same frame bytes, with the AVX2, SSE2 and scalar rows;
// and 800 x 40 bands, whose surfaces stay in the level-2 cache, so that the rows' own cost shows.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "render/surface/dibx.h"
#include "render/surface/row_kernels.h"

namespace kivo {
namespace {

constexpr int kW = 800;

struct TFrame {
  TDIBX dst, src, mask;
  TRect whole;
  TFrame(int bits, int rows) : dst(kW, rows, bits), src(kW, rows, bits), mask(kW, rows, 8), whole{0, 0, kW, rows} {
    std::mt19937 rng(42);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < kW; ++x) {
        src.SetPixel(x, y, static_cast<uint32_t>(rng()) & (bits == 32 ? 0xFFFFFF : 0xFFFF));
        dst.SetPixel(x, y, static_cast<uint32_t>(rng()) & (bits == 32 ? 0xFFFFFF : 0xFFFF));
        const uint32_t m = rng() % 4;
        mask.SetPixel(x, y, m == 0 ? 0 : m == 1 ? 255 : rng() & 0xFF);
      }
  }
};

// Arguments: bit count, rows.
void BM_Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(kW * state.range(1) * state.range(0) / 8);
  std::vector<uint8_t> a(bytes, 1), b(bytes);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Memcpy)->Args({32, 600})->Args({16, 600})->Args({32, 40});

template <class Op>
void RunDraw(benchmark::State& state, Op op) {
  const int bits = static_cast<int>(state.range(0));
  const int rows = static_cast<int>(state.range(2));
  SetFastPath(static_cast<TFastPath>(state.range(1)));
  TFrame f(bits, rows);
  for (auto _ : state) {
    op(f);
    benchmark::ClobberMemory();
  }
  const char* names[] = {"scalar", "sse2", "avx2"};
  state.SetLabel(names[static_cast<int>(CurrentFastPath())]);
  SetFastPath(BestFastPath());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * rows * ((bits + 7) / 8));
}

void BM_DrawAlpha(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.DrawAlpha(0, 0, 128, false, false, false, f.whole, f.src); }); }
void BM_DrawAdd(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.DrawAdd(0, 0, 200, false, false, false, f.whole, f.src); }); }
void BM_DrawMasked(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.DrawMasked(0, 0, f.mask, false, false, f.whole, f.src); }); }
void BM_DrawMaskedAlpha(benchmark::State& s) {
  RunDraw(s, [](TFrame& f) { f.dst.DrawMaskedAlpha(0, 0, 160, f.mask, false, false, f.whole, f.src); });
}
void BM_DrawMaskedAdd(benchmark::State& s) {
  RunDraw(s, [](TFrame& f) { f.dst.DrawMaskedAdd(0, 0, 160, f.mask, false, false, f.whole, f.src); });
}
void BM_Draw(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.Draw(0, 0, false, false, false, f.whole, f.src); }); }
void BM_DrawFlipped(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.DrawAlpha(0, 0, 128, false, true, false, f.whole, f.src); }); }
void BM_DrawCopyFlipped(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.Draw(0, 0, false, true, false, f.whole, f.src); }); }
void BM_Fill(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.Fill(0x123456); }); }
void BM_BlendRect(benchmark::State& s) { RunDraw(s, [](TFrame& f) { f.dst.BlendRect(f.whole, 0x123456, 100); }); }

// Arguments: bit count, loop (0 scalar, 1 SSE2, 2 AVX2), rows.
#define KIVO_DRAW_BENCH(name)                                    \
  BENCHMARK(name)                                                \
      ->Args({32, 2, 600})->Args({32, 1, 600})->Args({32, 0, 600}) \
      ->Args({16, 2, 600})->Args({16, 1, 600})->Args({16, 0, 600}) \
      ->Args({32, 2, 40})
KIVO_DRAW_BENCH(BM_DrawAlpha);
KIVO_DRAW_BENCH(BM_DrawAdd);
KIVO_DRAW_BENCH(BM_DrawMasked);
KIVO_DRAW_BENCH(BM_DrawMaskedAlpha);
KIVO_DRAW_BENCH(BM_DrawMaskedAdd);
KIVO_DRAW_BENCH(BM_BlendRect);
BENCHMARK(BM_Draw)->Args({32, 2, 600})->Args({32, 2, 40});
BENCHMARK(BM_DrawFlipped)->Args({32, 2, 600})->Args({32, 2, 40});
BENCHMARK(BM_DrawCopyFlipped)->Args({32, 2, 600})->Args({32, 2, 40});
BENCHMARK(BM_Fill)->Args({32, 2, 600})->Args({16, 2, 600})->Args({32, 2, 40});

}  // namespace
}  // namespace kivo
