// Copying one large file to the stick (a folder on the same disk) with the copy engine, side by
// side with cp doing the same copy. The file is 1 GiB (PSPKVX_BENCH_COPY_MIB changes that); it
// is written once and read from the page cache by both. Removing the copy is not timed.
// Argument 1: the time includes the copy's reaching the disk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "media/CopyEngine.h"
#include "psp/StickLayout.h"

namespace {

namespace fs = std::filesystem;
using pspkvx::bench::BenchFolder;
using pspkvx::bench::BenchStick;
using pspkvx::bench::SyncVolume;

struct SilentWindow : pspkvx::IMediaWindow {
  void SetStatusText(const std::string&) override {}
  void SetProgress(int) override {}
  std::string ChooseSavePath(const std::string&) override { return ""; }
  std::string AskName(const std::string&, const std::string&) override { return ""; }
};

uint64_t CopyBytes() {
  const char* mib = std::getenv("PSPKVX_BENCH_COPY_MIB");
  const long value = mib ? std::atol(mib) : 0;
  return uint64_t(value > 0 ? value : 1024) << 20;
}

// The source file, written once for the whole run.
const std::string& SourceFile() {
  static BenchFolder folder;
  static const std::string path = [] {
    const std::string file = folder.path() + "/big.bin";
    FILE* out = std::fopen(file.c_str(), "wb");
    std::vector<char> block(8 << 20);
    for (size_t i = 0; i < block.size(); ++i)
      block[i] = static_cast<char>(i * 131);
    for (uint64_t left = CopyBytes(); out && left > 0;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
      if (std::fwrite(block.data(), 1, n, out) != n) break;
      left -= n;
    }
    if (out) std::fclose(out);
    return file;
  }();
  return path;
}

void BM_CopyEngine(benchmark::State& state) {
  const std::string& source = SourceFile();
  BenchFolder stick;
  BenchStick psp(stick.path(), uint64_t(64) << 30);
  SilentWindow window;
  const pspkvx::MediaStick target{psp.Platform(), psp.Drive(), psp.Files(), psp.Host(), window};
  pspkvx::CopyRequest request;
  request.source = source;
  request.name = "big.bin";
  request.kind = pspkvx::StickMusic;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(stick.path() + "/PSP");
    pspkvx::MakeFolders(psp.Platform(), stick.path() + "/PSP/MUSIC");
    state.ResumeTiming();
    if (pspkvx::CopyFileToStick(target, request).result != pspkvx::CopyDone)
      state.SkipWithError("the copy failed");
    if (state.range(0)) SyncVolume(stick.path());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CopyBytes()));
}
BENCHMARK(BM_CopyEngine)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Cp(benchmark::State& state) {
  const std::string& source = SourceFile();
  BenchFolder stick;
  const std::string folder = stick.path() + "/PSP/MUSIC";
  const std::string command = "cp '" + source + "' '" + folder + "/big.bin'";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(stick.path() + "/PSP");
    fs::create_directories(folder);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    if (state.range(0)) SyncVolume(stick.path());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CopyBytes()));
}
BENCHMARK(BM_Cp)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
