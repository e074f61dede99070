// The configuration loader over arbitrary file contents, in memory: it must never read out of
// bounds and must always come back with a record that keeps its invariants on the widths.
// Almost every mutation fails the record's checksum here; config_sealed_fuzz reaches the fields.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/AppConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pspkvx::AppConfig config;
  pspkvx::LoadConfigBytes(config, std::span<const uint8_t>(data, size), "/docs");
  for (int i = 1; i < 5; ++i)
    if (config.FileListColumnWidths[i] == 0 || config.SecondListColumnWidths[i] == 0) std::abort();
  return 0;
}
