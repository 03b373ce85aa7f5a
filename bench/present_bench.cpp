// The screen manager's present of dirty rectangles and of whole frames into a headless window and
// through SDL (its dummy video driver with the software renderer: the texture upload and the
// redraw of the window), against memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "media/screen_manager.h"
#include "platform/headless/headless_window.h"
#include "platform/window.h"

namespace kivo {
namespace {

constexpr int kW = 800, kH = 600;

class TBenchScene : public IScreenScene {
public:
  std::vector<TRect> dirty;
  TRect full;
  int zoom = 100;
  bool HasComposedSurface() const override { return true; }
  int ZoomPercent() const override { return zoom; }
  TRect FullUpdateRect() const override { return full; }
  std::span<const TRect> DirtyRects() const override { return dirty; }
  void ClearDirtyLists() override {}
};

// A dozen sprite-sized rectangles: the usual frame of a scene where little moves.
std::vector<TRect> Sprites() {
  std::vector<TRect> r;
  for (int i = 0; i < 12; ++i) r.push_back(TRect::FromSize(40 + i * 60, 30 + i * 40, 64, 48));
  return r;
}

int64_t Bytes(const std::vector<TRect>& rects) {
  int64_t n = 0;
  for (const TRect& r : rects) n += int64_t{r.Width()} * r.Height() * 4;
  return n;
}

void BM_MemcpyRects(benchmark::State& state) {
  const std::vector<TRect> rects = state.range(0) ? std::vector<TRect>{{0, 0, kW, kH}} : Sprites();
  std::vector<uint32_t> a(static_cast<size_t>(kW) * kH, 1), b(a.size());
  for (auto _ : state) {
    for (const TRect& r : rects)
      for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(&b[static_cast<size_t>(y) * kW + r.left], &a[static_cast<size_t>(y) * kW + r.left], static_cast<size_t>(r.Width()) * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Bytes(rects));
}
BENCHMARK(BM_MemcpyRects)->Arg(0)->Arg(1);

void PresentLoop(benchmark::State& state, IWindow& window) {
  window.SetClientSize(kW, kH);
  TScreenManager screen(window, kW, kH, -1, -1);
  TBenchScene scene;
  const bool full = state.range(0) != 0;
  if (full)
    scene.full = {0, 0, kW, kH};
  else
    scene.dirty = Sprites();
  for (auto _ : state) {
    screen.Present(scene);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Bytes(full ? std::vector<TRect>{{0, 0, kW, kH}} : scene.dirty));
  state.SetLabel(full ? "full frame" : "12 dirty rectangles");
}

void BM_Present(benchmark::State& state) {
  THeadlessWindow window;
  PresentLoop(state, window);
}
BENCHMARK(BM_Present)->Arg(0)->Arg(1);

void BM_PresentSdl(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  std::unique_ptr<IWindow> window;
  try {
    window = CreateWindow(WindowBackend::Sdl);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  PresentLoop(state, *window);
}
BENCHMARK(BM_PresentSdl)->Arg(0)->Arg(1);

}  // namespace
}  // namespace kivo
