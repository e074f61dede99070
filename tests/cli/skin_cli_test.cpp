// skin compose / region as a skin designer uses them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/Process.h"
#include "support/TempDir.h"
#include "support/TestPictures.h"

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

}  // namespace
}  // namespace pspkvx
