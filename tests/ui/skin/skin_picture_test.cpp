#include "ui/skin/SkinPicture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "support/TestPictures.h"

namespace pspkvx {
namespace {

// A skin file that is whole loads; one cut short, a folder or nothing at all is refused with a
// reason, never turned into a face with black where its pixels were lost.
TEST(SkinPicture, AWholeSkinLoadsAndADamagedOneIsRefused) {
  test::TempDir dir;
  const std::string skin = dir.File("skin.bmp");
  test::WritePicture(skin, FIF_BMP, 40, 30,
                     [](unsigned x, unsigned) { return x < 20 ? test::kBlue : test::kRed; });
  std::string error;
  const auto whole = LoadSkinPicture(skin, error);
  ASSERT_TRUE(whole) << error;
  EXPECT_EQ(whole->width, 40);
  EXPECT_EQ(whole->height, 30);
  EXPECT_EQ(whole->At(0, 29), 0x0000FFu);
  EXPECT_EQ(whole->At(39, 0), 0xFF0000u);

  const std::string cut = dir.File("cut.bmp");
  std::filesystem::copy_file(skin, cut);
  std::filesystem::resize_file(cut, std::filesystem::file_size(skin) - 10);
  std::filesystem::create_directory(dir.File("folder.bmp"));
  struct Case {
    std::string path;
    std::string says;
  };
  for (const Case& c : {Case{cut, "damaged"}, Case{dir.File("folder.bmp"), "folder"},
                        Case{dir.File("missing.bmp"), "no such file"}}) {
    error.clear();
    EXPECT_FALSE(LoadSkinPicture(c.path, error)) << c.path;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_NE(error.find(c.path), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace pspkvx
