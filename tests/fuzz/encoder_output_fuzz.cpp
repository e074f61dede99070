// The encoder output reader over arbitrary output cut into chunks of the runner's size: no
// crash, no read past a chunk (the sanitizers see it), and the percentage within its scale.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "video/EncoderOutput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the chunk size, 1..256, so that markers fall across chunk ends.
  const size_t chunkSize = size_t{data[0]} + 1;
  const std::string_view output(reinterpret_cast<const char*>(data + 1), size - 1);
  pspkvx::EncoderProgress progress;
  for (size_t at = 0; at < output.size(); at += chunkSize) {
    pspkvx::ParseEncoderOutput(progress, output.substr(at, std::min(chunkSize, output.size() - at)),
                               false);
    if (!(progress.percent >= 0.0F && progress.percent <= 100.0F)) std::abort();
  }
  return 0;
}
