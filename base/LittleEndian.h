// 32-bit little-endian words inside byte buffers (the program's files and buffers store
// every length and checksum this way).
#pragma once

#include <cstdint>

namespace pspkvx {

inline uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void WriteLe32(uint8_t* p, uint32_t value) {
  for (int k = 0; k < 4; ++k)
    p[k] = static_cast<uint8_t>(value >> (8 * k));
}

}  // namespace pspkvx
