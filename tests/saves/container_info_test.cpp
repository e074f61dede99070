#include <FreeImage.h>
#include <gtest/gtest.h>

#include "saves/ContainerInfo.h"
#include "saves/container_fixture.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using test::Bytes;

// A 3x2 PNG whose top-left pixel is pure red and the rest blue, made with FreeImage.
std::string MakePng() {
  FIBITMAP* bitmap = FreeImage_Allocate(3, 2, 24);
  RGBQUAD blue{255, 0, 0, 0}, red{0, 0, 255, 0};
  for (unsigned y = 0; y < 2; ++y)
    for (unsigned x = 0; x < 3; ++x)
      FreeImage_SetPixelColor(bitmap, x, y, &blue);
  FreeImage_SetPixelColor(bitmap, 0, 1, &red);  // FreeImage's row 1 is the top row
  FIMEMORY* memory = FreeImage_OpenMemory();
  FreeImage_SaveToMemory(FIF_PNG, bitmap, memory, 0);
  BYTE* data = nullptr;
  DWORD size = 0;
  FreeImage_AcquireMemory(memory, &data, &size);
  std::string png(reinterpret_cast<char*>(data), size);
  FreeImage_CloseMemory(memory);
  FreeImage_Unload(bitmap);
  return png;
}

TEST(ReadContainerInfo, GivesTheHeaderFolderAndIcon) {
  test::TempDir dir;
  const std::string png = MakePng();
  Bytes plain = test::PlainHeader(u"Space Game");
  test::AppendFolder(plain, "\\ULUS10041DATA");
  test::AppendFile(plain, "\\ULUS10041DATA\\DATA.BIN", "save bytes");
  test::AppendFolder(plain, "\\ULUS10041DATA\\SUB");  // not the save folder: only the first counts
  test::AppendFile(plain, "\\ULUS10041DATA\\ICON0.PNG", png);
  test::AppendFile(plain, "\\ULUS10041DATA\\icon0.png", "a second icon is never taken");
  const Bytes sealed = test::Sealed(plain);

  Bytes container = sealed;
  ContainerInfo info;
  IconPicture picture;
  const std::string iconPath = dir.File("icon.png");
  ASSERT_EQ(ReadContainerInfo(container, info, {iconPath, &picture, true}), kContainerValid);
  EXPECT_TRUE(std::equal(info.header.begin(), info.header.end(), sealed.begin()));
  EXPECT_EQ(ContainerTitle(info.header), "Space Game");
  EXPECT_EQ(info.folderName, "ULUS10041DATA");
  EXPECT_TRUE(info.iconFound && info.iconWritten && info.iconDecoded);
  EXPECT_EQ(test::ReadFileBytes(iconPath), png);
  ASSERT_EQ(picture.width, 3u);
  ASSERT_EQ(picture.height, 2u);
  EXPECT_EQ(Bytes(picture.bgra.begin(), picture.bgra.begin() + 3), Bytes({0, 0, 255}));  // red
  EXPECT_EQ(Bytes(picture.bgra.begin() + 4, picture.bgra.begin() + 7), Bytes({255, 0, 0}));

  // Re-scrambled: the buffer is exactly as it came and checks again.
  EXPECT_EQ(container, sealed);
  EXPECT_EQ(CheckContainer(container), kContainerValid);
}

TEST(ReadContainerInfo, WithoutRescramblingLeavesTheBodyReadable) {
  const Bytes plain = test::PlainSave();
  Bytes container = test::Sealed(plain);
  ContainerInfo info;
  ASSERT_EQ(ReadContainerInfo(container, info), kContainerValid);
  EXPECT_EQ(container, test::Summed(plain));
  EXPECT_EQ(info.folderName, "SAVE01");
  EXPECT_TRUE(info.iconFound);
  EXPECT_FALSE(info.iconWritten || info.iconDecoded);  // neither was asked for
}

TEST(ReadContainerInfo, AContainerWithoutAFolderRecordHasNoFolderName) {
  Bytes plain = test::PlainHeader();
  test::AppendFile(plain, "\\SAVE01\\DATA.BIN", "data");
  Bytes container = test::Sealed(plain);
  ContainerInfo info;
  info.folderName = "left over";
  ASSERT_EQ(ReadContainerInfo(container, info), kContainerValid);
  EXPECT_EQ(info.folderName, "");
  EXPECT_FALSE(info.iconFound);
}

TEST(ReadContainerInfo, AnIconThatIsNotAPictureIsWrittenButNotDecoded) {
  test::TempDir dir;
  Bytes container = test::Sealed(test::PlainSave());
  ContainerInfo info;
  IconPicture picture;
  picture.width = 7;
  ASSERT_EQ(ReadContainerInfo(container, info, {dir.File("icon.png"), &picture, false}),
            kContainerValid);
  EXPECT_TRUE(info.iconWritten);
  EXPECT_FALSE(info.iconDecoded);
  EXPECT_EQ(picture.width, 7u);
  EXPECT_EQ(test::ReadFileBytes(dir.File("icon.png")), "not really a png");
}

TEST(ReadContainerInfo, RefusedContainersLeaveEveryOutputAndWithRescrambleTheBuffer) {
  test::TempDir dir;
  Bytes damaged = test::Sealed(test::PlainSave());
  damaged[kContainerHeaderSize + 3] ^= 0x40;
  Bytes newer = test::Sealed(test::PlainHeader(u"x", "PSPSAVE002"));
  Bytes notOne = test::Sealed(test::PlainHeader(u"x", "ZIPFILE001"));
  Bytes tooShort(100, 0);
  struct Case {
    Bytes* container;
    int expected;
  };
  for (const Case c :
       {Case{&damaged, kContainerChecksumMismatch}, Case{&newer, kContainerNewerVersion},
        Case{&notOne, kContainerNotAContainer}, Case{&tooShort, kContainerNotAContainer}}) {
    const Bytes before = *c.container;
    ContainerInfo info;
    info.folderName = "untouched";
    EXPECT_EQ(ReadContainerInfo(*c.container, info, {dir.File("icon.png"), nullptr, true}),
              c.expected);
    EXPECT_EQ(info.folderName, "untouched");
    EXPECT_FALSE(test::FileExists(dir.File("icon.png")));
    EXPECT_EQ(*c.container, before) << "result " << c.expected;
  }
}

TEST(ReadContainerInfo, StopsAtARecordThatRunsPastTheEnd) {
  Bytes plain = test::PlainHeader();
  test::AppendRecord(plain, kRecordFile, u"\\SAVE01\\DATA.BIN", "abc", 1000);
  test::AppendFolder(plain, "\\SAVE01");  // inside the lying record's claimed data
  Bytes container = test::Sealed(plain);
  ContainerInfo info;
  ASSERT_EQ(ReadContainerInfo(container, info), kContainerValid);
  EXPECT_EQ(info.folderName, "");
}

}  // namespace
}  // namespace pspkvx
