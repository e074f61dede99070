#include "saves/ContainerScramble.h"

#include <array>
#include <cstring>

#include "base/RecordChecksum.h"
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

#if defined(__GNUC__)
// Sixteen bytes at a time with the compiler's vector types (SSE2, NEON). A per-byte rotation
// is three conditional rotations by 1, 2 and 4 bits, picked by the bits of r; a rotation of
// every byte by n bits is two 16-bit lane shifts whose bits crossing into the neighbour byte
// are masked off.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint16_t Lanes8 __attribute__((vector_size(16)));
constexpr bool kVectorised = true;

inline Bytes16 Load16(const uint8_t* at) {
  Bytes16 v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

template <unsigned N>
inline Bytes16 RotateEveryByteRight(Bytes16 b) {
  constexpr uint16_t kLow = (0xFF >> N) * 0x0101;  // the bits that stay in their byte
  const Lanes8 w = reinterpret_cast<Lanes8>(b);
  return reinterpret_cast<Bytes16>(((w >> N) & kLow) | ((w << (8 - N)) & uint16_t(~kLow)));
}

template <bool Left>
inline Bytes16 Rotate16(Bytes16 b, Bytes16 r) {
  // Left by r is right by 8 - r: the same stages with the bits of (8 - r) & 7.
  if (Left) r = (8 - r) & 7;
  const Bytes16 by1 = reinterpret_cast<Bytes16>((r & 1) == 1);
  b = (b & ~by1) | (RotateEveryByteRight<1>(b) & by1);
  const Bytes16 by2 = reinterpret_cast<Bytes16>((r & 2) == 2);
  b = (b & ~by2) | (RotateEveryByteRight<2>(b) & by2);
  const Bytes16 by4 = reinterpret_cast<Bytes16>((r & 4) == 4);
  return (b & ~by4) | (RotateEveryByteRight<4>(b) & by4);
}

template <bool Scramble>
size_t ApplyKeyStream16(uint8_t* bytes, size_t n) {
  size_t q = 0;
  for (; q + 16 <= n; q += 16) {
    const Bytes16 key = Load16(kKeyStream.xorKey.data() + q);
    const Bytes16 r = Load16(kKeyStream.rotation.data() + q);
    const Bytes16 b = Load16(bytes + q);
    const Bytes16 out = Scramble ? Rotate16<true>(b ^ key, r) : Rotate16<false>(b, r) ^ key;
    std::memcpy(bytes + q, &out, sizeof out);
  }
  return q;
}
#else
constexpr bool kVectorised = false;
template <bool Scramble>
size_t ApplyKeyStream16(uint8_t*, size_t) {
  return 0;
}
#endif

// Scrambles or unscrambles a whole body, a key-stream period at a time.
template <bool Scramble>
void ApplyKeyStream(uint8_t* bytes, size_t count) {
  while (count > 0) {
    const size_t n = count < kPeriod ? count : kPeriod;
    for (size_t q = kVectorised ? ApplyKeyStream16<Scramble>(bytes, n) : 0; q < n; ++q) {
      const uint8_t key = kKeyStream.xorKey[q];
      const uint8_t r = kKeyStream.rotation[q];
      bytes[q] = Scramble ? RotateLeft(bytes[q] ^ key, r)
                          : static_cast<uint8_t>(RotateRight(bytes[q], r) ^ key);
    }
    bytes += n;
    count -= n;
  }
}

}  // namespace

void ScrambleBody(uint8_t* bytes, size_t count) {
  ApplyKeyStream<true>(bytes, count);
}

uint32_t UnscrambleBodyAndSum(uint8_t* bytes, size_t count, uint32_t sum) {
  ForEachPeriod(bytes, count, [&sum](uint8_t b, size_t q) {
    const auto plain =
        static_cast<uint8_t>(RotateRight(b, kKeyStream.rotation[q]) ^ kKeyStream.xorKey[q]);
    sum = RecordChecksumStep(sum, plain);
    return plain;
  });
  return sum;
}

void UnscrambleBody(uint8_t* bytes, size_t count) {
  ApplyKeyStream<false>(bytes, count);
}

}  // namespace pspkvx
