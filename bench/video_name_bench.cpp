// NextVideoName on a video folder that already holds many videos: one listing per call.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "psp/StickLayout.h"

namespace {

// A folder holding M4V00001.MP4 .. M4V<count>.MP4 (removed at the end of the run).
class VideoFolder {
 public:
  explicit VideoFolder(int count) {
    char pattern[] = "/tmp/pspkvx-bench-XXXXXX";
    path_ = mkdtemp(pattern);
    for (int n = 1; n <= count; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "/M4V%05d.MP4", n);
      std::fclose(std::fopen((path_ + name).c_str(), "wb"));
    }
  }
  ~VideoFolder() { std::filesystem::remove_all(path_); }
  std::string WithSeparator() const { return path_ + "/"; }

 private:
  std::string path_;
};

void BM_NextVideoName(benchmark::State& state) {
  const VideoFolder folder(static_cast<int>(state.range(0)));
  const auto platform = pspkvx::platform::CreateSystemPlatform();
  for (auto _ : state)
    benchmark::DoNotOptimize(pspkvx::NextVideoName(*platform, folder.WithSeparator(), false));
}
BENCHMARK(BM_NextVideoName)->Arg(0)->Arg(100)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace
