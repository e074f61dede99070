// 32-bit little-endian words inside byte buffers (the program's files and buffers store
// every length and checksum this way).
#pragma once

#include <cstdint>
#include <vector>

namespace pspkvx {

inline uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void WriteLe32(uint8_t* p, uint32_t value) {
  for (int k = 0; k < 4; ++k)
    p[k] = static_cast<uint8_t>(value >> (8 * k));
}

// The bytes as a received buffer: their 32-bit length (the caller keeps them below 4 GiB), then
// the bytes themselves.
inline void PrependLe32Length(std::vector<uint8_t>& bytes) {
  uint8_t length[4];
  WriteLe32(length, static_cast<uint32_t>(bytes.size()));
  bytes.insert(bytes.begin(), length, length + 4);
}

}  // namespace pspkvx
