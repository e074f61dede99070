// A music collection of 50 000 files: adding their folder to a catalogue, sorting it and saving
// its list file; then loading that list file (every file is looked at again) and sorting it.
// The files are made once, empty, in a temporary folder; the names come in a shuffled order. The
// list file lives in a folder of its own, as in the program folder.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "media/CatalogueAdd.h"
#include "media/FileList.h"
#include "media/MediaTypes.h"

namespace {

using pspkvx::bench::BenchFolder;

constexpr int kFiles = 50000;

const BenchFolder& Collection() {
  static BenchFolder folder;
  static const bool made = [] {
    std::vector<int> order(kFiles);
    for (int k = 0; k < kFiles; ++k)
      order[static_cast<size_t>(k)] = k;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::filesystem::create_directories(folder.path() + "/music");
    for (const int k : order) {
      const std::string name = folder.path() + "/music/Track " + std::to_string(k * 7919 % kFiles) +
                               (k % 3 ? ".mp3" : ".MP3");
      if (FILE* file = std::fopen(name.c_str(), "wb")) std::fclose(file);
    }
    return true;
  }();
  (void)made;
  return folder;
}

std::string ListFile() {
  static BenchFolder programFolder;
  return programFolder.path() + "/filelist music.fll";
}

void BM_AddSortSave50000(benchmark::State& state) {
  const BenchFolder& collection = Collection();
  const std::string list = ListFile();
  for (auto _ : state) {
    pspkvx::MediaCatalogue catalogue;
    pspkvx::AddToCatalogue(catalogue, pspkvx::MediaMusic, collection.path() + "/music", nullptr);
    catalogue.Sort();
    if (!pspkvx::SaveFileList(catalogue, list)) state.SkipWithError("not saved");
    // The folder's own entry and its files.
    if (catalogue.Size() != kFiles + 1) state.SkipWithError("files missing");
  }
}
BENCHMARK(BM_AddSortSave50000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadSort50000(benchmark::State& state) {
  const BenchFolder& collection = Collection();
  const std::string list = ListFile();
  {
    pspkvx::MediaCatalogue catalogue;
    pspkvx::AddToCatalogue(catalogue, pspkvx::MediaMusic, collection.path() + "/music", nullptr);
    pspkvx::SaveFileList(catalogue, list);
  }
  for (auto _ : state) {
    pspkvx::MediaCatalogue catalogue;
    pspkvx::LoadFileList(catalogue, list);
    catalogue.Sort();
    if (catalogue.Size() != kFiles + 1) state.SkipWithError("entries missing");
  }
}
BENCHMARK(BM_LoadSort50000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
