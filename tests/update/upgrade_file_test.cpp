// The upgrade program out of a downloaded release: every record checked before anything is
// written, the program written whole with its executable bit or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/LittleEndian.h"
#include "saves/ContainerScramble.h"
#include "saves/ContainerWriter.h"
#include "support/TempDir.h"
#include "update/UpgradeFile.h"

namespace pspkvx {
namespace {

std::vector<uint8_t> InBuffer(std::vector<uint8_t> container) {
  std::vector<uint8_t> buffer(4);
  WriteLe32(buffer.data(), static_cast<uint32_t>(container.size()));
  buffer.insert(buffer.end(), container.begin(), container.end());
  return buffer;
}

std::vector<uint8_t> Release(const std::vector<std::string>& parts) {
  std::vector<SaveRecordSource> records = {{kRecordFolder, "\\UPGRADE", {}}};
  for (size_t i = 0; i < parts.size(); ++i)
    records.push_back({kRecordFile, "\\UPGRADE\\PART" + std::to_string(i), parts[i]});
  const ContainerWriteResult written = WriteContainer("PSPKVX upgrade", records);
  EXPECT_TRUE(written.ok()) << written.error;
  return written.container;
}

TEST(UpgradeFile, TheDataOfEveryFileRecordInOrderBecomesOneProgram) {
  test::TempDir dir;
  const std::string path = dir.File("upgrade");
  EXPECT_EQ(WriteUpgradeFile(InBuffer(Release({"#!/bin/sh\n", "echo one\n", "echo two\n"})), path),
            UpgradeWritten);
  EXPECT_EQ(test::ReadFileBytes(path), "#!/bin/sh\necho one\necho two\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);
}

TEST(UpgradeFile, ADamagedReleaseWritesNothingAndLeavesAnEarlierFile) {
  const std::vector<uint8_t> sound = Release({"program bytes"});
  // Unscrambled, the body can be damaged where it counts and sealed again.
  const auto resealed = [&](const std::function<void(std::vector<uint8_t>&)>& damage) {
    std::vector<uint8_t> container = sound;
    UnscrambleBody(container.data() + kContainerHeaderSize,
                   container.size() - kContainerHeaderSize);
    damage(container);
    SealContainer(container);
    return container;
  };
  std::vector<uint8_t> flipped = sound;
  flipped.back() ^= 0x20;
  std::vector<uint8_t> noMagic = sound;
  noMagic[5] = 'X';
  const size_t fileRecord = kContainerHeaderSize + kFolderRecordSize;
  const struct {
    const char* name;
    std::vector<uint8_t> buffer;
    int result;
  } kCases[] = {
      {"shorter than its length word", {1, 2, 3}, UpgradeNotAContainer},
      {"a length past the buffer",
       [&] {
         std::vector<uint8_t> b = InBuffer(sound);
         WriteLe32(b.data(), static_cast<uint32_t>(sound.size() + 1));
         return b;
       }(),
       UpgradeNotAContainer},
      {"shorter than a header", InBuffer(std::vector<uint8_t>(sound.begin(), sound.begin() + 100)),
       UpgradeNotAContainer},
      {"no magic", InBuffer(noMagic), UpgradeNotAContainer},
      {"a changed byte", InBuffer(flipped), UpgradeChecksumMismatch},
      {"a record kind of 7",
       InBuffer(resealed([&](std::vector<uint8_t>& c) { c[fileRecord] = 7; })), UpgradeBadRecord},
      {"a record longer than the container", InBuffer(resealed([&](std::vector<uint8_t>& c) {
         WriteLe32(&c[fileRecord + 1], 1u << 30);
       })),
       UpgradeBadRecord},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const std::string path = dir.File("upgrade");
    test::WriteFileBytes(path, "earlier");
    EXPECT_EQ(WriteUpgradeFile(c.buffer, path), c.result);
    EXPECT_EQ(test::ReadFileBytes(path), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left either
  }
}

TEST(UpgradeFile, AFolderWhereTheProgramGoesCannotBeCreated) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("upgrade"));
  EXPECT_EQ(WriteUpgradeFile(InBuffer(Release({"x"})), dir.File("upgrade")), UpgradeCannotCreate);
}

}  // namespace
}  // namespace pspkvx
