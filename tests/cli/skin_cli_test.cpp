// skin compose / region as a skin designer uses them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/Process.h"
#include "support/TempDir.h"
#include "support/TestPictures.h"
#include "ui/skin/SkinBitmaps.h"

namespace pspkvx {
namespace {

using nlohmann::json;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args), {}, std::chrono::seconds(60));
}

// A 5 x 4 skin with slices 2,1,1,2: blue (the key) in the top-left corner's first pixel and all
// along the bottom row, red elsewhere.
void WriteSkin(const std::string& path) {
  test::WritePicture(path, FIF_BMP, 5, 4, [](unsigned x, unsigned y) {
    return (x == 0 && y == 0) || y == 3 ? test::kBlue : test::kRed;
  });
}

TEST(CliSkin, ComposeWritesTheFaceAtItsSizeOrTheSkinWhenTheSizeIsSmaller) {
  test::TempDir dir;
  WriteSkin(dir.File("skin.bmp"));
  const auto grown = Cli({"skin", "compose", dir.File("skin.bmp"), "--slices", "2,1,1,2", "--size",
                          "9x6", "-o", dir.File("face.png"), "--json"});
  ASSERT_EQ(grown.exitCode, 0) << grown.err;
  EXPECT_EQ(json::parse(grown.out)["composed"], true);
  const test::PictureInfo face = test::ReadPictureInfo(dir.File("face.png"));
  EXPECT_EQ(face.format, FIF_PNG);
  EXPECT_EQ(face.width, 9u);
  EXPECT_EQ(face.height, 6u);
  EXPECT_TRUE(test::Near(test::PixelOf(dir.File("face.png"), 0, 0), test::kBlue));
  EXPECT_TRUE(test::Near(test::PixelOf(dir.File("face.png"), 8, 5), test::kBlue));  // bottom row
  EXPECT_TRUE(test::Near(test::PixelOf(dir.File("face.png"), 4, 2), test::kRed));

  const auto smaller = Cli({"skin", "compose", dir.File("skin.bmp"), "--slices", "2,1,1,2",
                            "--size", "4x4", "-o", dir.File("small.png"), "--json"});
  ASSERT_EQ(smaller.exitCode, 0) << smaller.err;
  EXPECT_EQ(json::parse(smaller.out),
            json::parse(R"({"composed":false,"file":")" + dir.File("small.png") +
                        R"(","height":4,"width":5})"));
}

TEST(CliSkin, RegionListsTheRunsThatAreNotTheKeyColour) {
  test::TempDir dir;
  WriteSkin(dir.File("skin.bmp"));
  const auto region = Cli({"skin", "region", dir.File("skin.bmp"), "--key", "0000FF", "--json"});
  ASSERT_EQ(region.exitCode, 0) << region.err;
  EXPECT_EQ(json::parse(region.out),
            json::parse(R"({"count":3,"rectangles":[[1,0,5,1],[0,1,5,2],[0,2,5,3]]})"));
  const auto grown = Cli({"skin", "region", dir.File("skin.bmp"), "--key", "0000ff", "--slices",
                          "2,1,1,2", "--size", "6x5", "--json"});
  ASSERT_EQ(grown.exitCode, 0) << grown.err;
  EXPECT_EQ(json::parse(grown.out)["count"], 4);

  struct Case {
    std::vector<std::string> args;
    int exitCode;
  };
  for (const Case& c : {Case{{"--key", "blue"}, 2}, Case{{"--key", "0000FF", "--size", "6x5"}, 2},
                        Case{{"--key", "0000FF", "--slices", "1,1,1,1", "--size", "6x5"}, 2}}) {
    std::vector<std::string> args = {"skin", "region", dir.File("skin.bmp")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(Cli(args).exitCode, c.exitCode) << c.args[1];
  }
  EXPECT_EQ(Cli({"skin", "region", dir.File("missing.bmp"), "--key", "0000FF"}).exitCode, 1);
}

TEST(CliSkin, TheShippedSkinIsShapedByItsRoundedOutlineAndGrowsWithoutSeams) {
#ifndef PSPKVX_SKIN_ART
  GTEST_SKIP() << "a build without the GUI draws no skin art";
#endif
  const std::string skin = test::ProgramFolderFile("Dat/Dialog Graphic.bmp");
  const auto region = Cli({"skin", "region", skin, "--key", "0000FF", "--json"});
  ASSERT_EQ(region.exitCode, 0) << region.err;
  const json rectangles = json::parse(region.out)["rectangles"];
  ASSERT_EQ(rectangles.size(), 520u);         // one run per row: the outline has no holes
  EXPECT_GT(rectangles[0][0].get<int>(), 0);  // the rounded corners are cut away
  EXPECT_LT(rectangles[0][2].get<int>(), 740);
  EXPECT_EQ(rectangles[260], json::parse("[0,260,740,261]"));  // the sides are straight

  // Grown, the stretch bands repeat: a row of the middle looks as the skin's middle row does.
  test::TempDir dir;
  ASSERT_EQ(Cli({"skin", "compose", skin, "--slices", "256,228,128,264", "--size", "1280x800", "-o",
                 dir.File("face.png")})
                .exitCode,
            0);
  for (const unsigned x : {10u, 300u, 640u, 1000u, 1270u})
    EXPECT_TRUE(test::Near(test::PixelOf(dir.File("face.png"), x, 400),
                           test::PixelOf(skin,
                                         x < 256    ? x
                                         : x > 1024 ? x - 540
                                                    : 300,
                                         260),
                           0))
        << x;
}

// Every picture the controls draw is there at 100 % and at 200 %, the second twice the size; the
// 200 % skins take the 100 % shape exactly (the window is shaped by its 100 % face, so a 200 %
// face that differed would show key colour or lose its edge along the outline).
TEST(CliSkin, EveryPictureIsThereAtBothScalesAndThe200PercentSkinsKeepTheShape) {
#ifndef PSPKVX_SKIN_ART
  GTEST_SKIP() << "a build without the GUI draws no skin art";
#endif
  std::vector<int> ids = {kScrollTrack};
  for (const auto& faces :
       {kDefaultButtonFaces, kOtherButtonFaces, kExtraButtonFaces, kTabButtonFaces,
        kTitleButtonFaces, kActionButtonFaces, kScrollUpFaces, kScrollDownFaces, kScrollThumbFaces})
    ids.insert(ids.end(), faces.begin(), faces.end());
  for (const int id : ids) {
    const test::PictureInfo small =
        test::ReadPictureInfo(test::ProgramFolderFile("Dat/" + BitmapFileName(id, 1)));
    const test::PictureInfo big =
        test::ReadPictureInfo(test::ProgramFolderFile("Dat/" + BitmapFileName(id, 2)));
    ASSERT_GT(small.width, 0u) << id;
    EXPECT_EQ(big.width, 2 * small.width) << id;
    EXPECT_EQ(big.height, 2 * small.height) << id;
  }

  struct Skin {
    std::string name;
    std::string key;
  };
  for (const Skin& skin : {Skin{"Dialog Graphic", "0000FF"}, Skin{"Small Dialog", "FFFFFF"}}) {
    const auto small = Cli({"skin", "region", test::ProgramFolderFile("Dat/" + skin.name + ".bmp"),
                            "--key", skin.key, "--json"});
    const auto big = Cli({"skin", "region", test::ProgramFolderFile("Dat/" + skin.name + "@2x.bmp"),
                          "--key", skin.key, "--json"});
    ASSERT_EQ(small.exitCode, 0) << small.err;
    ASSERT_EQ(big.exitCode, 0) << big.err;
    const json runs = json::parse(small.out)["rectangles"];
    const json doubled = json::parse(big.out)["rectangles"];
    ASSERT_EQ(doubled.size(), 2 * runs.size()) << skin.name;
    for (size_t i = 0; i < runs.size(); ++i) {
      const int x0 = runs[i][0], y = runs[i][1], x1 = runs[i][2];
      for (size_t half = 0; half < 2; ++half)
        EXPECT_EQ(doubled[2 * i + half], json::array({2 * x0, 2 * y + static_cast<int>(half),
                                                      2 * x1, 2 * y + static_cast<int>(half) + 1}))
            << skin.name << " row " << y;
    }
  }
}

}  // namespace
}  // namespace pspkvx
