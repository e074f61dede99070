// Installing a 20 MB save container onto a stick folder (check, validation, the writes into the
// staging folder and the swap), against writing the same files with plain buffered writes.
// Both write into a temporary folder of the same volume; removing the result of an iteration
// is not timed.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "saves/ContainerWriter.h"
#include "saves/SaveInstall.h"

namespace {

namespace fs = std::filesystem;
using pspkvx::SaveRecordSource;
using pspkvx::bench::BenchFolder;
using pspkvx::bench::BenchStick;
using pspkvx::bench::SyncVolume;

constexpr int kFiles = 40;
constexpr size_t kFileBytes = 512 * 1024;

const std::string& FileData() {
  static const std::string data(kFileBytes, '\x6B');
  return data;
}

std::string FileName(int k) {
  return "DATA" + std::to_string(k) + ".BIN";
}

std::vector<uint8_t> TwentyMegabyteBuffer() {
  std::vector<SaveRecordSource> records = {{pspkvx::kRecordFolder, "\\ULUS10041DATA", {}}};
  for (int k = 0; k < kFiles; ++k)
    records.push_back({pspkvx::kRecordFile, "\\ULUS10041DATA\\" + FileName(k), FileData()});
  const std::vector<uint8_t> container =
      pspkvx::WriteContainer("A twenty megabyte save", records).container;
  const auto n = static_cast<uint32_t>(container.size());
  std::vector<uint8_t> buffer = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
  buffer.insert(buffer.end(), container.begin(), container.end());
  return buffer;
}

// Arguments: 0 the files may stay in the page cache; 1 the time includes their reaching the
// disk (a memory stick is written through, so this is closer to the PSP's case).
void BM_InstallSave20MB(benchmark::State& state) {
  BenchFolder stick;
  BenchStick psp(stick.path(), uint64_t(1) << 30);
  const pspkvx::SaveStick target{psp.Platform(), psp.Drive(), psp.Files(), psp.Host()};
  const std::vector<uint8_t> stored = TwentyMegabyteBuffer();
  std::vector<uint8_t> buffer;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(stick.path() + "/PSP");
    buffer = stored;
    state.ResumeTiming();
    if (pspkvx::InstallSave(target, buffer, false) != 0) state.SkipWithError("not installed");
    if (state.range(0)) SyncVolume(stick.path());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stored.size()));
}
BENCHMARK(BM_InstallSave20MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainBufferedWrites20MB(benchmark::State& state) {
  BenchFolder stick;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(stick.path() + "/PSP");
    state.ResumeTiming();
    const std::string folder = stick.path() + "/PSP/SAVEDATA/ULUS10041DATA";
    fs::create_directories(folder);
    for (int k = 0; k < kFiles; ++k) {
      FILE* file = std::fopen((folder + "/" + FileName(k)).c_str(), "wb");
      if (!file || std::fwrite(FileData().data(), 1, kFileBytes, file) != kFileBytes)
        state.SkipWithError("write failed");
      if (file) std::fclose(file);
    }
    if (state.range(0)) SyncVolume(stick.path());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFiles * kFileBytes));
}
BENCHMARK(BM_PlainBufferedWrites20MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
