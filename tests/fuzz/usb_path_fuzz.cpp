// The reading of USB device paths: any bytes, never out of bounds, and a path is a PSP's only
// when both of its numbers say so.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "psp/UsbIds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  const auto vendor = pspkvx::HexAfter(path, "vid_");
  const auto product = pspkvx::HexAfter(path, "pid_");
  if (vendor && *vendor > pspkvx::kHexTooLarge) std::abort();
  const bool psp = vendor && product && *vendor == pspkvx::kSonyVendorId &&
                   (*product == pspkvx::kPspProductId || *product == pspkvx::kPspSlimProductId);
  if (pspkvx::IsPspDevicePath(path) != psp) std::abort();
  return 0;
}
