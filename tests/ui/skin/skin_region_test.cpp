#include "ui/skin/SkinRegion.h"

#include <gtest/gtest.h>

namespace pspkvx {
namespace {

constexpr uint32_t kBlue = 0x0000FF;  // the key, as pixels hold it (0x00RRGGBB)

// A face from rows of characters: '.' is the key colour, anything else opaque.
PixelImage Face(const std::vector<std::string>& rows, uint32_t highByte = 0) {
  PixelImage face(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < face.height; ++y)
    for (int x = 0; x < face.width; ++x)
      face.At(x, y) = highByte | (rows[y][x] == '.' ? kBlue : 0x808080);
  return face;
}

TEST(SkinRegion, EachRunOfOpaquePixelsIsOneRectangleOfItsRow) {
  const std::vector<std::string> rows = {
      "......",  // all key colour: nothing
      "######",  // no key colour: one full-width rectangle
      "##..#.",  // two runs
      ".####.",
  };
  const std::vector<RegionRect> expected = {{0, 1, 6, 2}, {0, 2, 2, 3}, {4, 2, 5, 3}, {1, 3, 5, 4}};
  EXPECT_EQ(RegionRectangles(Face(rows), kBlue), expected);
  // The high byte (the alpha a picture read through Qt carries) is not part of the colour.
  EXPECT_EQ(RegionRectangles(Face(rows, 0xFF000000), kBlue), expected);
  EXPECT_EQ(RegionRectangles(Face(rows), 0xFF0000FF), expected);
  // A start column and a right margin leave their columns out.
  EXPECT_EQ(RegionRectangles(Face({"######"}), kBlue, 2, 0),
            (std::vector<RegionRect>{{2, 0, 6, 1}}));
}

TEST(SkinRegion, RectanglesAreUnitedInBlocksOf2000) {
  PixelImage face(3, 4500, 0x808080);  // one rectangle per row
  const std::vector<RegionRect> rectangles = RegionRectangles(face, kBlue);
  ASSERT_EQ(rectangles.size(), 4500u);
  std::vector<size_t> blocks;
  size_t next = 0;
  ForEachRegionBlock(rectangles, [&](std::span<const RegionRect> block) {
    EXPECT_EQ(block.front(), rectangles[next]);  // in order
    next += block.size();
    blocks.push_back(block.size());
  });
  EXPECT_EQ(blocks, (std::vector<size_t>{2000, 2000, 500}));
}

}  // namespace
}  // namespace pspkvx
