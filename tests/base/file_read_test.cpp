#include "base/FileRead.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

TEST(ReadWholeFile, ReadsAPlainFileAndSaysWhyAnythingElseCannotBeRead) {
  test::TempDir dir;
  const std::string big(3 * 1024 * 1024 + 17, 'b');
  test::WriteFileBytes(dir.File("big.bin"), big);
  test::WriteFileBytes(dir.File("empty.bin"), "");
  fs::create_directory(dir.File("folder"));
  ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
  fs::create_symlink(dir.File("big.bin"), dir.File("link"));

  const struct {
    std::string name;
    FileReadFailure failure;
    std::string error;
  } kCases[] = {
      {"big.bin", FileReadFailure::None, ""},
      {"link", FileReadFailure::None, ""},
      {"empty.bin", FileReadFailure::None, ""},
      {"missing.bin", FileReadFailure::Missing, ": there is no such file"},
      {"folder", FileReadFailure::Folder, ": it is a folder, not a file"},
      // A pipe is refused at once instead of waiting for a writer that never comes.
      {"pipe", FileReadFailure::NotAFile, ": it is not a plain file"},
      {"big.bin/inner", FileReadFailure::Unreadable, ": Not a directory"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const WholeFile file = ReadWholeFile(dir.File(c.name));
    EXPECT_EQ(file.failure, c.failure);
    if (c.failure == FileReadFailure::None) {
      EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()),
                test::ReadFileBytes(dir.File(c.name)));
      EXPECT_TRUE(file.error.empty());
    } else {
      EXPECT_NE(file.error.find(dir.File(c.name)), std::string::npos) << file.error;
      EXPECT_NE(file.error.find(c.error), std::string::npos) << file.error;
      EXPECT_TRUE(file.bytes.empty());
    }
  }
  EXPECT_EQ(ReadWholeFile(dir.File("big.bin"), big.size()).failure, FileReadFailure::None);
  EXPECT_EQ(ReadWholeFile(dir.File("big.bin"), big.size() - 1).failure, FileReadFailure::TooLarge);
}

}  // namespace
}  // namespace pspkvx
