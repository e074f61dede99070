// The 32-bit checksum of the configuration file, the save container and the upgrade container.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pspkvx {

// For each byte: add it (modulo 2^32), then shift right by one, putting an odd sum's low bit
// back as bit 28. The result is the sum XOR 0xABC46462. Empty input: 0xABC46462.
uint32_t RecordChecksum(const void* bytes, size_t length);

}  // namespace pspkvx
