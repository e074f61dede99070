#include "app/RecordChecksum.h"

namespace pspkvx {

uint32_t RecordChecksum(const void* bytes, size_t length) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  uint32_t s = 0;
  for (size_t i = 0; i < length; ++i) {
    s += p[i];
    s = (s & 1u) ? ((s >> 1) | 0x10000000u) : (s >> 1);
  }
  return s ^ 0xABC46462u;
}

}  // namespace pspkvx
