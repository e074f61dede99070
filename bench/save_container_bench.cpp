// The save container's readers on a 20 MB save: ReadContainerInfo (check, header, folder and
// icon, re-scrambled so the buffer can be read again, as an install asks for it) and the
// validation walk an install makes before it writes anything.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "saves/ContainerInfo.h"
#include "saves/ContainerValidation.h"
#include "saves/ContainerWriter.h"

namespace {

using pspkvx::SaveRecordSource;

// 20 MB in 40 files of 512 KiB, the icon last so that the walk crosses every record.
std::vector<uint8_t> TwentyMegabyteContainer() {
  static const std::string data(512 * 1024, '\x6B');
  std::vector<SaveRecordSource> records = {{pspkvx::kRecordFolder, "\\ULUS10041DATA", {}}};
  for (int k = 0; k < 39; ++k)
    records.push_back({pspkvx::kRecordFile, "\\ULUS10041DATA\\DATA" + std::to_string(k), data});
  records.push_back({pspkvx::kRecordFile, "\\ULUS10041DATA\\ICON0.PNG", data});
  return pspkvx::WriteContainer("A twenty megabyte save", records).container;
}

void BM_ReadContainerInfoRescrambled(benchmark::State& state) {
  std::vector<uint8_t> container = TwentyMegabyteContainer();
  for (auto _ : state) {
    pspkvx::ContainerInfo info;
    const int result = pspkvx::ReadContainerInfo(container, info, {{}, nullptr, true});
    if (result != 0 || info.folderName.empty()) state.SkipWithError("the container was refused");
    benchmark::DoNotOptimize(info);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * container.size()));
}
BENCHMARK(BM_ReadContainerInfoRescrambled)->Unit(benchmark::kMillisecond);

void BM_ReadContainerInfo(benchmark::State& state) {
  const std::vector<uint8_t> stored = TwentyMegabyteContainer();
  std::vector<uint8_t> container;
  for (auto _ : state) {
    state.PauseTiming();
    container = stored;
    state.ResumeTiming();
    pspkvx::ContainerInfo info;
    if (pspkvx::ReadContainerInfo(container, info) != 0)
      state.SkipWithError("the container was refused");
    benchmark::DoNotOptimize(info);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stored.size()));
}
BENCHMARK(BM_ReadContainerInfo)->Unit(benchmark::kMillisecond);

void BM_ValidateContainerRecords(benchmark::State& state) {
  std::vector<uint8_t> container = TwentyMegabyteContainer();
  if (pspkvx::CheckContainer(container) != 0) state.SkipWithError("the container was refused");
  for (auto _ : state) {
    const pspkvx::ContainerVerdict verdict = pspkvx::ValidateContainerRecords(container);
    if (!verdict.ok()) state.SkipWithError(verdict.detail.c_str());
    benchmark::DoNotOptimize(verdict);
  }
}
BENCHMARK(BM_ValidateContainerRecords)->Unit(benchmark::kMicrosecond);

// The same walk over a container of many small records, the worst case per byte.
void BM_ValidateManySmallRecords(benchmark::State& state) {
  std::vector<SaveRecordSource> records = {{pspkvx::kRecordFolder, "\\ULUS10041DATA", {}}};
  for (int k = 0; k < 20000; ++k)
    records.push_back({pspkvx::kRecordFile, "\\ULUS10041DATA\\F" + std::to_string(k), "x"});
  std::vector<uint8_t> container = pspkvx::WriteContainer("small records", records).container;
  if (pspkvx::CheckContainer(container) != 0) state.SkipWithError("the container was refused");
  for (auto _ : state) {
    const pspkvx::ContainerVerdict verdict = pspkvx::ValidateContainerRecords(container);
    if (!verdict.ok()) state.SkipWithError(verdict.detail.c_str());
    benchmark::DoNotOptimize(verdict);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * records.size()));
}
BENCHMARK(BM_ValidateManySmallRecords)->Unit(benchmark::kMillisecond);

}  // namespace
