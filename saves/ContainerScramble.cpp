#include "saves/ContainerScramble.h"

#include <array>

#include "saves/SaveKeyTable.h"

namespace pspkvx {
namespace {

// The key stream repeats after lcm(100, 256) bytes: the XOR key and the rotation of body byte
// p are those of p mod 6400, so both are laid out once for a whole period.
constexpr size_t kPeriod = 6400;

struct KeyStream {
  std::array<uint8_t, kPeriod> xorKey{};
  std::array<uint8_t, kPeriod> rotation{};
};

constexpr KeyStream MakeKeyStream() {
  KeyStream stream;
  for (size_t p = 0; p < kPeriod; ++p) {
    stream.xorKey[p] = SaveKeyTable[p % 100];
    unsigned r = (SaveKeyTable[(p + 2) % 100] + p % 256) % 16;
    if (r > 7) r /= 2;
    stream.rotation[p] = static_cast<uint8_t>(r);
  }
  return stream;
}

constexpr KeyStream kKeyStream = MakeKeyStream();

inline uint8_t RotateLeft(uint8_t b, unsigned r) {
  return static_cast<uint8_t>((b << r) | (b >> ((8 - r) & 7)));
}
inline uint8_t RotateRight(uint8_t b, unsigned r) {
  return static_cast<uint8_t>((b >> r) | (b << ((8 - r) & 7)));
}

template <typename Step>
void ForEachPeriod(uint8_t* bytes, size_t count, Step step) {
  while (count > 0) {
    const size_t n = count < kPeriod ? count : kPeriod;
    for (size_t q = 0; q < n; ++q)
      bytes[q] = step(bytes[q], q);
    bytes += n;
    count -= n;
  }
}

}  // namespace

void ScrambleBody(uint8_t* bytes, size_t count) {
  ForEachPeriod(bytes, count, [](uint8_t b, size_t q) {
    return RotateLeft(b ^ kKeyStream.xorKey[q], kKeyStream.rotation[q]);
  });
}

void UnscrambleBody(uint8_t* bytes, size_t count) {
  ForEachPeriod(bytes, count, [](uint8_t b, size_t q) {
    return static_cast<uint8_t>(RotateRight(b, kKeyStream.rotation[q]) ^ kKeyStream.xorKey[q]);
  });
}

}  // namespace pspkvx
