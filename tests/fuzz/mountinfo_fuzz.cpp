// The mount table reader over arbitrary text: no crash, and every entry it keeps names a
// device of the "major:minor" form.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/drives_linux.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const auto& mount : pspkvx::platform::ParseMountInfo(text))
    if (mount.device.find(':') == std::string::npos) std::abort();
  return 0;
}
