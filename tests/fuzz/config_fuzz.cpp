// The configuration loader over arbitrary file contents: it must never read out of bounds and
// must always come back with a record that keeps its invariants on the widths.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AppConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    char pattern[] = "/tmp/pspkvx-fuzz-XXXXXX";
    return std::string(mkdtemp(pattern));
  }();
  const std::string path = folder + "/PSPKV.CFG";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  pspkvx::AppConfig config;
  pspkvx::LoadConfig(config, folder, "/docs");
  for (int i = 1; i < 5; ++i)
    if (config.FileListColumnWidths[i] == 0 || config.SecondListColumnWidths[i] == 0) std::abort();
  return 0;
}
