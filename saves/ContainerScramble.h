// Scrambling of the save container's body with a byte-wise key stream over SaveKeyTable.
// Body byte p (p = 0 for the first byte after the header) uses two indices into the table,
// i = p mod 100 and j = (p + 2) mod 100, and the rotation r = (SaveKeyTable[j] + p mod 256)
// mod 16, halved (integer division) when above 7, so r is 0-7.
//   scramble:   b = rotate-left(b XOR SaveKeyTable[i], r)
//   unscramble: b = rotate-right(b, r) XOR SaveKeyTable[i]
// Both work in place and always start at p = 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pspkvx {

void ScrambleBody(uint8_t* bytes, size_t count);
void UnscrambleBody(uint8_t* bytes, size_t count);

// UnscrambleBody that also carries RecordChecksum's running sum (RecordChecksumStep) over the
// unscrambled bytes, in one pass over memory: returns the sum after the last byte.
uint32_t UnscrambleBodyAndSum(uint8_t* bytes, size_t count, uint32_t sum);

}  // namespace pspkvx
