#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "saves/ContainerScramble.h"
#include "saves/SaveKeyTable.h"

namespace pspkvx {
namespace {

uint8_t RotateLeft(uint8_t b, unsigned r) {
  return static_cast<uint8_t>((b << r) | (b >> (8 - r)));
}

// The rotation of body position p, from the key table entry j as the format defines it.
unsigned Rotation(size_t j, size_t p) {
  const unsigned r = (SaveKeyTable[j] + p % 256) % 16;
  return r > 7 ? r / 2 : r;
}

// The format's scrambling, byte by byte with its two wrapping indices.
std::vector<uint8_t> ReferenceScramble(std::vector<uint8_t> bytes) {
  size_t i = 0, j = 2;
  for (size_t p = 0; p < bytes.size(); ++p) {
    const unsigned r = Rotation(j, p);
    const uint8_t x = bytes[p] ^ SaveKeyTable[i];
    bytes[p] = r == 0 ? x : RotateLeft(x, r);
    i = i == 99 ? 0 : i + 1;
    j = j == 99 ? 0 : j + 1;
  }
  return bytes;
}

std::vector<uint8_t> RandomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(count);
  for (auto& b : bytes)
    b = static_cast<uint8_t>(random());
  return bytes;
}

std::vector<uint8_t> Scrambled(std::vector<uint8_t> bytes) {
  ScrambleBody(bytes.data(), bytes.size());
  return bytes;
}

TEST(BodyScrambling, FollowsTheKeyStreamAcrossManyPeriods) {
  // Long enough for the XOR index (period 100) and the position (period 256) to wrap many
  // times, and not a whole number of either.
  const auto plain = RandomBytes(3 * 6400 + 777, 1);
  EXPECT_EQ(Scrambled(plain), ReferenceScramble(plain));
}

TEST(BodyScrambling, APositionWhoseRotationIsZeroIsOnlyXored) {
  size_t found = 0;
  for (size_t p = 0; p < 256; ++p) {
    if (Rotation((p + 2) % 100, p) != 0) continue;
    ++found;
    std::vector<uint8_t> body(p + 1, 0);
    body[p] = 0xA5;
    EXPECT_EQ(Scrambled(body)[p], 0xA5 ^ SaveKeyTable[p % 100]) << "position " << p;
  }
  EXPECT_GT(found, 0u) << "the key table gives no rotation of 0 in the first 256 bytes";
}

TEST(BodyScrambling, KeyIndicesWrapAtOneHundred) {
  struct Case {
    size_t position, xorIndex, rotationIndex;
  };
  // The 100th body byte (position 99) uses key index 99 for the XOR and 1 for the rotation;
  // the 101st uses 0 and 2, as the first byte does.
  for (const Case c : {Case{0, 0, 2}, Case{97, 97, 99}, Case{98, 98, 0}, Case{99, 99, 1},
                       Case{100, 0, 2}, Case{199, 99, 1}, Case{256, 56, 58}}) {
    std::vector<uint8_t> body(c.position + 1, 0x3C);
    const unsigned r = Rotation(c.rotationIndex, c.position);
    const uint8_t x = 0x3C ^ SaveKeyTable[c.xorIndex];
    EXPECT_EQ(Scrambled(body)[c.position], r == 0 ? x : RotateLeft(x, r))
        << "position " << c.position;
  }
}

TEST(BodyScrambling, UnscrambleAndScrambleUndoEachOther) {
  for (size_t count : {0u, 1u, 99u, 100u, 101u, 6400u, 6401u, 50000u}) {
    const auto bytes = RandomBytes(count, static_cast<unsigned>(count));
    auto copy = bytes;
    UnscrambleBody(copy.data(), copy.size());
    if (count >= 16) {
      EXPECT_NE(copy, bytes);
    }
    ScrambleBody(copy.data(), copy.size());
    EXPECT_EQ(copy, bytes) << count << " bytes, unscrambled then scrambled";
    ScrambleBody(copy.data(), copy.size());
    UnscrambleBody(copy.data(), copy.size());
    EXPECT_EQ(copy, bytes) << count << " bytes, scrambled then unscrambled";
  }
}

TEST(BodyScrambling, TheKeyTableIsPartOfTheFileFormat) {
  // Containers already written depend on these exact bytes: a changed table entry or key
  // stream makes every one of them unreadable.
  const std::vector<uint8_t> expected = {0xC0, 0xDB, 0xE7, 0x15, 0x75, 0x82, 0x02, 0x8D,
                                         0xD9, 0x0F, 0x40, 0xF6, 0xDD, 0x77, 0x60, 0xC3};
  EXPECT_EQ(Scrambled(std::vector<uint8_t>(16, 0)), expected);
}

}  // namespace
}  // namespace pspkvx
