#include "base/RecordChecksum.h"

namespace pspkvx {

uint32_t RecordChecksum(const void* bytes, size_t length) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  uint32_t s = 0;
  for (size_t i = 0; i < length; ++i)
    s = RecordChecksumStep(s, p[i]);
  return s ^ kRecordChecksumXor;
}

}  // namespace pspkvx
