#include "media/PhotoListPicture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "support/TestPictures.h"

namespace pspkvx {
namespace {

using test::kBlue;
using test::kRed;
using test::Near;
using test::WritePicture;

// The pixel of a picture ((0, 0) the top left).
test::Rgba PixelAt(const Picture& picture, unsigned x, unsigned y) {
  const uint8_t* p = picture.bgra.data() + (static_cast<size_t>(y) * picture.width + x) * 4;
  return {p[2], p[1], p[0], p[3]};
}

TEST(PhotoListPicture, APhotoIsScaledToTheListsSizeWhateverItsProportions) {
  test::TempDir dir;
  // Red above, blue below: the picture keeps its top row first. The JPEGs are decoded at a
  // fraction of their size (the large one at an eighth, the thin one at a half).
  const auto halves = [](unsigned height) {
    return [height](unsigned, unsigned y) { return y < height / 2 ? kRed : kBlue; };
  };
  WritePicture(dir.File("photo.png"), FIF_PNG, 640, 480, halves(480));
  WritePicture(dir.File("large.jpg"), FIF_JPEG, 2000, 1500, halves(1500));
  WritePicture(dir.File("thin.jpg"), FIF_JPEG, 4000, 200, halves(200));
  for (const char* name : {"photo.png", "large.jpg", "thin.jpg"}) {
    for (bool plainRows : {true, false}) {
      SCOPED_TRACE(testing::Message() << name << (plainRows ? ", plain rows" : ", pictures"));
      const ListPictureSize size = PhotoListPictureSize(plainRows);
      EXPECT_EQ(size, plainRows ? (ListPictureSize{45, 34}) : (ListPictureSize{96, 72}));

      const std::optional<Picture> picture = MakePhotoListPicture(dir.File(name), plainRows);
      ASSERT_TRUE(picture);
      EXPECT_EQ(picture->width, size.width);
      EXPECT_EQ(picture->height, size.height);
      ASSERT_EQ(picture->bgra.size(), size_t{size.width} * size.height * 4);
      EXPECT_TRUE(Near(PixelAt(*picture, size.width / 2, 2), kRed));
      EXPECT_TRUE(Near(PixelAt(*picture, size.width / 2, size.height - 3), kBlue));
      EXPECT_EQ(PixelAt(*picture, 0, 0).alpha, 255);

      const auto png = MakePhotoListPng(dir.File(name), plainRows);
      ASSERT_TRUE(png);
      const std::string file = dir.File("list.png");
      test::WriteFileBytes(file, *png);
      const test::PictureInfo info = test::ReadPictureInfo(file);
      EXPECT_EQ(info.format, FIF_PNG);
      EXPECT_EQ(info.width, size.width);
      EXPECT_EQ(info.height, size.height);
    }
  }
}

TEST(PhotoListPicture, AFileThatIsNotAPictureGivesNone) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("notes.txt"), "not a picture");
  std::filesystem::create_directory(dir.File("folder.jpg"));
  for (const char* name : {"notes.txt", "folder.jpg", "missing.png"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(MakePhotoListPicture(dir.File(name), false));
    EXPECT_FALSE(MakePhotoListPng(dir.File(name), true));
  }
}

}  // namespace
}  // namespace pspkvx
