#include "media/PhotoSizes.h"

#include <gtest/gtest.h>

namespace pspkvx {
namespace {

TEST(PhotoSizes, EachModeGivesItsSizeAndCut) {
  const struct {
    int mode;
    uint32_t width, height;
    int64_t scaledWidth, scaledHeight;
    PhotoRect kept;
  } kCases[] = {
      // Straight: the picture as it is; an unknown mode changes nothing either.
      {PhotoStraight, 640, 480, 640, 480, {0, 0, 640, 480}},
      {7, 640, 480, 640, 480, {0, 0, 640, 480}},
      {-1, 5000, 1, 5000, 1, {0, 0, 5000, 1}},
      // Fit: the height limits 640 x 480 (362.66 truncated), as it does 400 x 300.
      {PhotoFit, 640, 480, 362, 272, {0, 0, 362, 272}},
      {PhotoFit, 400, 300, 362, 272, {0, 0, 362, 272}},
      {PhotoFit, 320, 240, 320, 240, {0, 0, 320, 240}},  // smaller ones keep their size
      {PhotoFit, 480, 272, 480, 272, {0, 0, 480, 272}},
      {PhotoFit, 960, 544, 480, 272, {0, 0, 480, 272}},
      // The width limits: exactly 480, though 1000 / (1000 / 480) is 479.99... in doubles.
      {PhotoFit, 1000, 300, 480, 144, {0, 0, 480, 144}},
      {PhotoFit, 481, 100, 480, 99, {0, 0, 480, 99}},
      // A side that would truncate to nothing keeps one pixel.
      {PhotoFit, 5000, 1, 480, 1, {0, 0, 480, 1}},
      {PhotoFit, 1, 5000, 1, 272, {0, 0, 1, 272}},
      // Stretch: always the screen.
      {PhotoStretch, 640, 480, 480, 272, {0, 0, 480, 272}},
      {PhotoStretch, 1, 1, 480, 272, {0, 0, 480, 272}},
      {PhotoStretch, 5000, 1, 480, 272, {0, 0, 480, 272}},
      // Cover: 640 x 480 becomes 480 x 360 and keeps rows 44 to 315.
      {PhotoCover, 640, 480, 480, 360, {0, 44, 480, 316}},
      // 1000 x 300: 906.66 rounded up to 907, columns 213 to 692 kept.
      {PhotoCover, 1000, 300, 907, 272, {213, 0, 693, 272}},
      {PhotoCover, 240, 136, 480, 272, {0, 0, 480, 272}},  // doubled, nothing cut
      {PhotoCover, 480, 272, 480, 272, {0, 0, 480, 272}},
      {PhotoCover, 480, 1000, 480, 1000, {0, 364, 480, 636}},  // cut only
      {PhotoCover, 100, 100, 480, 480, {0, 104, 480, 376}},
      // Limiting sides that doubles put a hair above 480 would round up to 481.
      {PhotoCover, 490, 400, 480, 392, {0, 60, 480, 332}},
      {PhotoCover, 29, 100, 480, 1656, {0, 692, 480, 964}},
      // Extremes: the whole scaled picture is enormous, the kept part still the screen.
      {PhotoCover, 1, 5000, 480, 2400000, {0, 1199864, 480, 1200136}},
      {PhotoCover, 5000, 1, 1360000, 272, {679760, 0, 680240, 272}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", " << c.width << " x " << c.height);
    const PhotoSize size = PhotoSizeFor(c.mode, c.width, c.height);
    EXPECT_EQ(size.scaledWidth, c.scaledWidth);
    EXPECT_EQ(size.scaledHeight, c.scaledHeight);
    EXPECT_EQ(size.kept, c.kept);
    EXPECT_EQ(size.width, c.kept.Width());
    EXPECT_EQ(size.height, c.kept.Height());
  }
}

TEST(PhotoSizes, ASourceWithoutPixelsHasNoSize) {
  for (int mode : {PhotoStraight, PhotoFit, PhotoStretch, PhotoCover}) {
    EXPECT_EQ(PhotoSizeFor(mode, 0, 272).width, 0);
    EXPECT_EQ(PhotoSizeFor(mode, 480, 0).height, 0);
  }
}

TEST(PhotoSizes, TheKeptPartMapsBackOntoTheSource) {
  const struct {
    uint32_t width, height;
    PhotoRect source;
  } kCases[] = {
      {640, 480, {0, 59, 640, 421}},    // rows 58.66 to 421.33 of the source
      {1000, 300, {235, 0, 764, 300}},  // columns 234.8 to 764.1
      {240, 136, {0, 0, 240, 136}},     // the whole source
      // Less than a source pixel is kept: still one.
      {1, 5000, {0, 2500, 1, 2501}},
      {5000, 1, {2499, 0, 2501, 1}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    const PhotoSize size = PhotoSizeFor(PhotoCover, c.width, c.height);
    EXPECT_EQ(SourceRectOfKept(size, c.width, c.height), c.source);
  }
}

}  // namespace
}  // namespace pspkvx
