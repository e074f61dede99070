#include "ui/skin/NineSlice.h"

#include <gtest/gtest.h>

namespace pspkvx {
namespace {

// A skin whose every pixel is different, so that a pixel taken from the wrong place shows.
PixelImage NumberedSkin(const SkinSlices& s) {
  PixelImage skin(s.SkinWidth(), s.SkinHeight());
  for (int y = 0; y < skin.height; ++y)
    for (int x = 0; x < skin.width; ++x)
      skin.At(x, y) = static_cast<uint32_t>(y * 4096 + x);
  return skin;
}

// Where the rules take a face coordinate from: the corner as it is, the middle tiled from the
// stretch (whole tiles from the start), the far corner shifted by the stretch's growth.
int SourceOf(int at, int corner, int stretch, int middle) {
  if (at < corner) return at;
  if (at < corner + middle) return corner + (at - corner) % stretch;
  return at - middle + stretch;
}

TEST(NineSlice, TheFaceTakesEveryPixelFromWhereTheRulesSay) {
  const SkinSlices s = kMainWindowSlices;
  const PixelImage skin = NumberedSkin(s);
  for (const auto& [width, height] : {std::pair{740, 520}, {1000, 700}, {741, 521}, {1920, 1080}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const std::optional<PixelImage> face = ComposeFace(skin, s, width, height);
    ASSERT_TRUE(face);
    ASSERT_EQ(face->width, width);
    ASSERT_EQ(face->height, height);
    const int mw = width - skin.width + s.stretchWidth;
    const int mh = height - skin.height + s.stretchHeight;
    int wrong = 0;
    for (int y = 0; y < height && wrong < 5; ++y)
      for (int x = 0; x < width && wrong < 5; ++x) {
        const int sx = SourceOf(x, s.cornerWidth, s.stretchWidth, mw);
        const int sy = SourceOf(y, s.cornerHeight, s.stretchHeight, mh);
        if (face->At(x, y) != skin.At(sx, sy)) {
          ADD_FAILURE() << "pixel " << x << "," << y << " is not the skin's " << sx << "," << sy;
          ++wrong;
        }
      }
  }
  // At the skin's own size the face is the skin.
  EXPECT_EQ(*ComposeFace(skin, s, 740, 520), skin);
}

TEST(NineSlice, NoFaceIsComposedBelowTheSkinsSizeOrFrom10001OnOrFromSlicesThatDoNotFit) {
  const SkinSlices s = kMainWindowSlices;
  const PixelImage skin = NumberedSkin(s);
  for (const auto& [width, height] :
       {std::pair{739, 520}, {740, 519}, {10001, 600}, {800, 10001}, {0, 0}})
    EXPECT_FALSE(ComposeFace(skin, s, width, height)) << width << "x" << height;
  EXPECT_TRUE(ComposeFace(skin, s, 10000, 520));
  const SkinSlices other{10, 10, 10, 10};
  EXPECT_NE(SlicesProblem(skin, other), "");
  EXPECT_FALSE(ComposeFace(skin, other, 800, 600));
  EXPECT_NE(SlicesProblem(skin, SkinSlices{0, 740, 0, 520}), "");
}

}  // namespace
}  // namespace pspkvx
