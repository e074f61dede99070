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

TEST(ReadWholeFile, ALargeFileComesWholeAndADeviceIsRefused) {
  test::TempDir dir;
  std::string bytes(20 * 1000 * 1000, '\0');
  uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  test::WriteFileBytes(dir.File("20mb.bin"), bytes);
  const WholeFile file = ReadWholeFile(dir.File("20mb.bin"));
  ASSERT_TRUE(file.ok()) << file.error;
  EXPECT_TRUE(std::string(file.bytes.begin(), file.bytes.end()) == bytes);
  // A device would never end (or never answer): refused before it is opened.
  EXPECT_EQ(ReadWholeFile("/dev/zero").failure, FileReadFailure::NotAFile);
}

TEST(PathProblems, FoldersToUseAndFilesToWriteAreWhatTheyShouldBe) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("file"), "x");
  fs::create_directory(dir.File("folder"));
  ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);

  const struct {
    std::string name;
    std::string asFolder;  // part of FolderProblem(path, missingIsFine = true); "" for none
    std::string asOutput;  // part of OutputFileProblem(path)
  } kCases[] = {
      {"folder", "", "it is a folder, not a file"},
      {"file", "it is a file, not a folder", ""},  // an output file may be replaced
      {"pipe", "it is not a folder", "it is not a plain file"},
      {"missing", "", ""},
      {"missing/inner", "", "there is no folder"},
      {"file/inner", "a part of its path is not a folder", "file is not a folder"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(c.name);
    const std::string asFolder = FolderProblem(path, true);
    const std::string asOutput = OutputFileProblem(path);
    EXPECT_EQ(asFolder.empty(), c.asFolder.empty()) << asFolder;
    EXPECT_NE(asFolder.find(c.asFolder), std::string::npos) << asFolder;
    if (!asFolder.empty()) {
      EXPECT_NE(asFolder.find(path), std::string::npos) << asFolder;
    }
    EXPECT_EQ(asOutput.empty(), c.asOutput.empty()) << asOutput;
    EXPECT_NE(asOutput.find(c.asOutput), std::string::npos) << asOutput;
    if (!asOutput.empty()) {
      EXPECT_NE(asOutput.find(path), std::string::npos) << asOutput;
    }
  }
  EXPECT_NE(FolderProblem(dir.File("missing"), false).find("there is no such folder"),
            std::string::npos);
  EXPECT_NE(FolderProblem("", true), "");
  EXPECT_NE(OutputFileProblem(""), "");
}

}  // namespace
}  // namespace pspkvx
