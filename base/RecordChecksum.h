// The 32-bit checksum of the configuration file, the save container and the upgrade container.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pspkvx {

// For each byte: add it (modulo 2^32), then shift right by one, putting an odd sum's low bit
// back as bit 28. The result is the sum XOR 0xABC46462. Empty input: 0xABC46462.
uint32_t RecordChecksum(const void* bytes, size_t length);

// The same sum one byte at a time, for code that sums bytes while it makes them: start from 0,
// take each byte with RecordChecksumStep, and XOR the end result with kRecordChecksumXor.
inline constexpr uint32_t kRecordChecksumXor = 0xABC46462u;
inline uint32_t RecordChecksumStep(uint32_t sum, uint8_t byte) {
  sum += byte;
  return (sum & 1u) ? ((sum >> 1) | 0x10000000u) : (sum >> 1);
}

}  // namespace pspkvx
