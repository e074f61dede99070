#include "media/PhotoConvert.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/MessageBox.h"
#include "media/PhotoSizes.h"
#include "support/MediaStickFixture.h"
#include "support/TestPictures.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::kBlue;
using test::kGreen;
using test::kRed;
using test::kWhite;
using test::Near;
using test::PixelOf;
using test::ReadFileBytes;
using test::ReadPictureInfo;
using test::WritePicture;

const std::string kUnsupported =
    "Sorry, couldn't convert this image. May be due to the image containing multiple layers or "
    "transparencies.\r\n\r\n";

// A ready PSP whose stick is a temporary folder; the pictures to convert lie beside it.
class PhotoConvertTest : public test::MediaStickTest {
 protected:
  std::string Source(const std::string& name) const { return dir_.File(name); }
  int Convert(const std::string& name, int mode, const std::string& subfolder = "",
              PhotoOutcome* outcome = nullptr, const ManualResetEvent* stop = nullptr) {
    return ConvertPhoto(Media(), Source(name), mode, subfolder, stop, outcome);
  }
  // Every entry of the stick's photo folder (and below), by relative path.
  std::vector<std::string> PhotoFiles() const {
    std::vector<std::string> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(Photos(), error), end; !error && it != end;
         it.increment(error))
      files.push_back(fs::relative(it->path(), Photos()).generic_string());
    std::sort(files.begin(), files.end());
    return files;
  }
};

TEST_F(PhotoConvertTest, EachKindOfPictureIsWrittenAsAJpegOfItsModesSize) {
  WritePicture(Source("Holiday.PNG"), FIF_PNG, 640, 480);
  WritePicture(Source("wide.bmp"), FIF_BMP, 1000, 300);
  WritePicture(Source("small.jpeg"), FIF_JPEG, 240, 136);
  // Covering the screen with these would take a scaled picture of 480 x 2400000 pixels.
  WritePicture(Source("thin.png"), FIF_PNG, 1, 5000);
  WritePicture(Source("flat.png"), FIF_PNG, 5000, 1);
  const struct {
    std::string source;
    int mode;
    std::string jpeg;
    unsigned width, height;
  } kCases[] = {
      {"Holiday.PNG", PhotoStraight, "Holiday.jpg", 640, 480},
      {"Holiday.PNG", PhotoFit, "Holiday.jpg", 362, 272},
      {"Holiday.PNG", PhotoStretch, "Holiday.jpg", 480, 272},
      {"Holiday.PNG", PhotoCover, "Holiday.jpg", 480, 272},
      {"wide.bmp", PhotoStraight, "wide.jpg", 1000, 300},
      {"wide.bmp", PhotoFit, "wide.jpg", 480, 144},
      {"wide.bmp", PhotoStretch, "wide.jpg", 480, 272},
      {"wide.bmp", PhotoCover, "wide.jpg", 480, 272},
      {"small.jpeg", PhotoStraight, "small.jpg", 240, 136},
      {"small.jpeg", PhotoFit, "small.jpg", 240, 136},
      {"small.jpeg", PhotoStretch, "small.jpg", 480, 272},
      {"small.jpeg", PhotoCover, "small.jpg", 480, 272},
      {"thin.png", PhotoCover, "thin.jpg", 480, 272},
      {"thin.png", PhotoFit, "thin.jpg", 1, 272},
      {"flat.png", PhotoCover, "flat.jpg", 480, 272},
      {"flat.png", PhotoFit, "flat.jpg", 480, 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.source + " in mode " + std::to_string(c.mode));
    fs::remove_all(Photos());
    PhotoOutcome outcome;
    ASSERT_EQ(Convert(c.source, c.mode, "", &outcome), PhotoConverted);
    const std::string jpeg = Photos() + "/" + c.jpeg;
    EXPECT_EQ(outcome.path, jpeg);
    EXPECT_EQ(outcome.width, c.width);
    EXPECT_EQ(outcome.height, c.height);
    const test::PictureInfo info = ReadPictureInfo(jpeg);
    EXPECT_EQ(info.format, FIF_JPEG);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_EQ(PhotoFiles(), std::vector<std::string>{c.jpeg});
  }
  EXPECT_TRUE(host_.requests().empty());
}

TEST_F(PhotoConvertTest, TheStatusLineAndTheProgressFollowTheConversion) {
  WritePicture(Source("Holiday.png"), FIF_PNG, 640, 480);
  ASSERT_EQ(Convert("Holiday.png", PhotoFit), PhotoConverted);
  EXPECT_EQ(window_.Progress(), (std::vector<int>{5, 20, 30, 100}));
  EXPECT_EQ(window_.Statuses(), (std::vector<std::string>{"Converting image \"Holiday.png\"", ""}));
}

TEST_F(PhotoConvertTest, CoveringTheScreenKeepsTheCentre) {
  // Left and right (top and bottom) parts that the cut takes away are red and blue; only the
  // green centre remains, edge to edge.
  const struct {
    std::string name;
    unsigned width, height;
    bool acrossTheWidth;
    unsigned band;  // the width of the red and the blue part
  } kCases[] = {
      {"wide.png", 1000, 300, true, 220},  // columns 234.8 to 764.1 are kept
      {"tall.png", 640, 480, false, 50},   // rows 58.7 to 421.3
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const unsigned side = c.acrossTheWidth ? c.width : c.height;
    const unsigned low = c.band;
    const unsigned high = side - c.band;
    WritePicture(Source(c.name), FIF_PNG, c.width, c.height, [&](unsigned x, unsigned y) {
      const unsigned at = c.acrossTheWidth ? x : y;
      return at < low ? kRed : at >= high ? kBlue : kGreen;
    });
    PhotoOutcome outcome;
    ASSERT_EQ(Convert(c.name, PhotoCover, "", &outcome), PhotoConverted);
    for (unsigned at : {2u, 136u, 269u}) {
      SCOPED_TRACE(at);
      const unsigned x = c.acrossTheWidth ? at * 480 / 272 : 240;
      const unsigned y = c.acrossTheWidth ? 136 : at;
      EXPECT_TRUE(Near(PixelOf(outcome.path, x, y), kGreen));
    }
  }
}

TEST_F(PhotoConvertTest, TransparencyShowsWhiteInTheJpeg) {
  // The left half is transparent, the right half opaque blue.
  WritePicture(
      Source("logo.png"), FIF_PNG, 200, 100,
      [](unsigned x, unsigned) {
        return x < 100 ? test::Rgba{0, 0, 0, 0} : kBlue;
      },
      true);
  PhotoOutcome outcome;
  ASSERT_EQ(Convert("logo.png", PhotoStraight, "", &outcome), PhotoConverted);
  EXPECT_TRUE(Near(PixelOf(outcome.path, 20, 50), kWhite));
  EXPECT_TRUE(Near(PixelOf(outcome.path, 180, 50), kBlue));
  EXPECT_TRUE(host_.requests().empty());
}

TEST_F(PhotoConvertTest, AnExistingJpegIsAskedAbout) {
  WritePicture(Source("Holiday.png"), FIF_PNG, 640, 480);
  const std::string old = "the photo that was there";
  const std::string existing = Photos() + "/HOLIDAY.JPG";  // the stick finds names in any case
  const std::string renamed = dir_.File("renamed.jpg");
  const struct {
    std::string what;
    int answer;
    std::vector<std::string> savePaths;
    int result;
    std::string written;  // the file that holds the new JPEG, or empty
  } kCases[] = {
      {"Skip", ResultCancel, {}, PhotoSkipped, ""},
      {"Overwrite", ResultYes, {}, PhotoConverted, existing},
      {"Rename", ResultNo, {renamed}, PhotoConverted, renamed},
      {"Rename cancelled", ResultNo, {""}, PhotoSkipped, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Photos());
    fs::remove(renamed);
    fs::create_directories(Photos());
    test::WriteFileBytes(existing, old);
    test::ScriptedHost host;
    host.Answer({c.answer});
    test::RecordingMediaWindow window;
    window.savePaths.assign(c.savePaths.begin(), c.savePaths.end());
    PhotoOutcome outcome;
    const int result =
        ConvertPhoto(Media(host, window), Source("Holiday.png"), PhotoFit, "", nullptr, &outcome);
    EXPECT_EQ(result, c.result);
    ASSERT_EQ(host.requests().size(), 1u);
    EXPECT_EQ(host.requests()[0].type, MbExistingDestination);
    EXPECT_EQ(host.requests()[0].text, "The file already exists. Overwrite it?\r\nHOLIDAY.JPG");
    EXPECT_EQ(window.proposedPaths, c.answer == ResultNo ? std::vector<std::string>{existing}
                                                         : std::vector<std::string>{});
    EXPECT_EQ(outcome.path, c.written.empty() ? existing : c.written);  // written, or kept
    EXPECT_EQ(outcome.width, 362);
    if (!c.written.empty()) {
      EXPECT_EQ(ReadPictureInfo(c.written).width, 362u);
    }
    // Only the chosen file changed: the old one stays unless overwritten, nothing else appears.
    EXPECT_EQ(PhotoFiles(), std::vector<std::string>{"HOLIDAY.JPG"});
    if (c.written != existing) {
      EXPECT_EQ(ReadFileBytes(existing), old);
    }
    EXPECT_EQ(fs::exists(renamed), c.written == renamed);
    EXPECT_EQ(window.Statuses().back(), "");
  }
}

TEST_F(PhotoConvertTest, WhatIsNotAPictureIsPassedOverAndNothingIsWritten) {
  test::WriteFileBytes(Source("notes.txt"), "not a picture at all\n");
  test::WriteFileBytes(Source("fake.jpg"), "looks like one by its name only");
  fs::create_directory(Source("folder.png"));
  // A PNG's signature, then nothing that loads: recognised, but not a picture after all.
  test::WriteFileBytes(Source("broken.png"), std::string("\x89PNG\r\n\x1a\n", 8) + "garbage");
  const struct {
    std::string name;
    bool message;
  } kCases[] = {
      {"notes.txt", false},  {"fake.jpg", false},  {"missing.png", false},
      {"folder.png", false}, {"broken.png", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    test::ScriptedHost host;
    test::RecordingMediaWindow window;
    PhotoOutcome outcome;
    EXPECT_EQ(
        ConvertPhoto(Media(host, window), Source(c.name), PhotoStraight, "", nullptr, &outcome),
        PhotoUnreadable);
    EXPECT_NE(outcome.error.find(Source(c.name)), std::string::npos) << outcome.error;
    EXPECT_EQ(host.texts(), c.message ? std::vector<std::string>{kUnsupported + c.name}
                                      : std::vector<std::string>{});
    EXPECT_TRUE(PhotoFiles().empty());
    // The status line no longer says the file is being converted.
    ASSERT_FALSE(window.Statuses().empty());
    EXPECT_EQ(window.Statuses().back(), c.message ? "" : outcome.error);
  }
}

TEST_F(PhotoConvertTest, AFailedConversionKeepsTheFileItWasToReplace) {
  // Wider than a JPEG can be (65500 pixels): the encoder refuses it.
  WritePicture(Source("panorama.png"), FIF_PNG, 70000, 1);
  fs::create_directories(Photos());
  test::WriteFileBytes(Photos() + "/panorama.jpg", "the photo that was there");
  host_.Answer({ResultYes});
  EXPECT_EQ(Convert("panorama.png", PhotoStraight), PhotoFailed);
  ASSERT_EQ(host_.texts().size(), 2u);
  EXPECT_EQ(host_.texts()[1], kUnsupported + "panorama.jpg");
  EXPECT_EQ(ReadFileBytes(Photos() + "/panorama.jpg"), "the photo that was there");
  EXPECT_EQ(PhotoFiles(), std::vector<std::string>{"panorama.jpg"});  // no temporary file left
  EXPECT_EQ(window_.Statuses().back(), "");
}

TEST_F(PhotoConvertTest, AStopBeforeTheWriteWritesNothing) {
  WritePicture(Source("Holiday.png"), FIF_PNG, 640, 480);
  ManualResetEvent stop;
  stop.Set();
  EXPECT_EQ(Convert("Holiday.png", PhotoFit, "", nullptr, &stop), PhotoStopped);
  EXPECT_TRUE(PhotoFiles().empty());
  EXPECT_TRUE(host_.requests().empty());
}

TEST_F(PhotoConvertTest, AGroupFolderIsFoundInAnyCaseOrMade) {
  WritePicture(Source("Holiday.png"), FIF_PNG, 640, 480);
  PhotoOutcome outcome;
  ASSERT_EQ(Convert("Holiday.png", PhotoFit, "Trips", &outcome), PhotoConverted);
  EXPECT_EQ(outcome.path, Photos() + "/Trips/Holiday.jpg");
  host_.Answer({ResultYes});  // Overwrite the first
  ASSERT_EQ(Convert("Holiday.png", PhotoStretch, "TRIPS", &outcome), PhotoConverted);
  EXPECT_EQ(outcome.path, Photos() + "/Trips/Holiday.jpg");
  EXPECT_EQ(ReadPictureInfo(outcome.path).width, 480u);
  EXPECT_EQ(PhotoFiles(), (std::vector<std::string>{"Trips", "Trips/Holiday.jpg"}));
}

TEST_F(PhotoConvertTest, WithoutAPlaceOnTheStickNothingIsWritten) {
  WritePicture(Source("Holiday.png"), FIF_PNG, 640, 480);
  const std::string cannot = "Could not create a file on the PSP memory stick.\r\n";
  EXPECT_EQ(Convert("Holiday.png", PhotoFit, ".."), PhotoFailed);
  EXPECT_EQ(Convert("Holiday.png", PhotoFit, "a/b"), PhotoFailed);
  EXPECT_EQ(Convert("Holiday.png", PhotoFit, "a*b"), PhotoFailed);     // a name FAT cannot hold
  platform_.Change([](test::FakePlatform& p) { p.volumes.clear(); });  // the stick is gone
  EXPECT_EQ(Convert("Holiday.png", PhotoFit), PhotoFailed);
  EXPECT_EQ(host_.texts(),
            (std::vector<std::string>{cannot + "../Holiday.jpg", cannot + "a/b/Holiday.jpg",
                                      cannot + "a*b/Holiday.jpg", cannot + "Holiday.jpg"}));
  EXPECT_FALSE(fs::exists(dir_.File("Holiday.jpg")));
  EXPECT_TRUE(PhotoFiles().empty());
}

TEST(PhotoJpegName, TheExtensionBecomesJpg) {
  const struct {
    std::string path, name;
  } kCases[] = {
      {"/pics/IMG_1.PNG", "IMG_1.jpg"}, {"/pics/photo", "photo.jpg"},
      {"/pics/a.b.tif", "a.b.jpg"},     {"/pics/.hidden", ".hidden.jpg"},
      {"plain.gif", "plain.jpg"},       {"/pics.d/photo", "photo.jpg"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(PhotoJpegName(c.path), c.name) << c.path;
}

}  // namespace
}  // namespace pspkvx
