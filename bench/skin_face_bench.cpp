// The skinned window's face and shape at a screen's size: composing the face from the skin by its
// nine slices, and cutting the region's rectangles out of it by the key colour.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "ui/skin/NineSlice.h"
#include "ui/skin/SkinRegion.h"

namespace pspkvx {
namespace {

// A skin of the main window's size with a rounded outline of key colour around it, as the
// shipped skin has.
PixelImage OutlinedSkin() {
  const SkinSlices s = kMainWindowSlices;
  PixelImage skin(s.SkinWidth(), s.SkinHeight(), 0x303848);
  constexpr int kRadius = 24;
  for (int y = 0; y < skin.height; ++y)
    for (int x = 0; x < skin.width; ++x) {
      const int dx = std::max({kRadius - x, x - (skin.width - 1 - kRadius), 0});
      const int dy = std::max({kRadius - y, y - (skin.height - 1 - kRadius), 0});
      if (dx * dx + dy * dy > kRadius * kRadius) skin.At(x, y) = 0x0000FF;
    }
  return skin;
}

void BM_ComposeFace(benchmark::State& state) {
  const PixelImage skin = OutlinedSkin();
  for (auto _ : state) {
    auto face = ComposeFace(skin, kMainWindowSlices, static_cast<int>(state.range(0)),
                            static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(face);
  }
}
BENCHMARK(BM_ComposeFace)->Args({740, 520})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_FaceAndRegion(benchmark::State& state) {
  const PixelImage skin = OutlinedSkin();
  size_t rectangles = 0;
  for (auto _ : state) {
    const auto face = ComposeFace(skin, kMainWindowSlices, static_cast<int>(state.range(0)),
                                  static_cast<int>(state.range(1)));
    const auto region = RegionRectangles(*face, 0x0000FF);
    rectangles = region.size();
    benchmark::DoNotOptimize(region.data());
  }
  state.counters["rectangles"] = static_cast<double>(rectangles);
}
BENCHMARK(BM_FaceAndRegion)->Args({740, 520})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pspkvx
