// The real updater program in a folder of its own, started as PSPKVX starts it: without
// arguments, in its folder. PSPKVX there is a script that writes a marker file, so the test sees
// which PSPKVX was started again, and where.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "support/Process.h"
#include "support/TempDir.h"
#include "update/Updater.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Script(const std::string& which) {
  return "#!/bin/sh\n{ echo " + which + "; pwd; } > marker.tmp && mv marker.tmp marker\n";
}

std::vector<uint8_t> BytesOf(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// The marker the started PSPKVX writes: which one it was and its working folder.
std::string WaitForMarker(const std::string& path) {
  for (int i = 0; i < 1000 && !fs::exists(path); ++i)
    std::this_thread::sleep_for(10ms);
  return test::ReadFileBytes(path);
}

class UpgradeProgram : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef PSPKVX_UPDATER_PROGRAM
    GTEST_SKIP() << "the build has no Qt, so no updater program";
#else
    // The build's copy: the program folder's "upgrade" goes whenever PSPKVX starts there.
    ASSERT_TRUE(fs::exists(PSPKVX_UPDATER_PROGRAM));
    const std::string updater = test::ReadFileBytes(PSPKVX_UPDATER_PROGRAM);
    updater_.assign(updater.begin(), updater.end());
    fs::create_directory(folder_);
    test::WriteFileBytes(File("PSPKVX"), Script("old"));
    fs::permissions(File("PSPKVX"), fs::perms(0755));
    test::WriteFileBytes(File("data.txt"), "old data");
#endif
  }
  std::string File(const std::string& name) const {
    return folder_ + "/" + name;
  }
  test::ProcessResult RunUpdater(const std::vector<uint8_t>& package) {
    test::WriteFileBytes(File("upgrade"), std::string(package.begin(), package.end()));
    fs::permissions(File("upgrade"), fs::perms(0755));
    return test::RunProcess({File("upgrade")}, {{"QT_QPA_PLATFORM", "offscreen"}}, 60s);
  }

  test::TempDir dir_;
  std::string folder_ = dir_.File("PSPKVX folder");
  std::vector<uint8_t> updater_;
};

TEST_F(UpgradeProgram, ReplacesTheFilesStartsTheNewPspkvxAndEndsByItself) {
  const std::vector<ArchiveFile> files = {{"PSPKVX", BytesOf(Script("new"))},
                                          {"data.txt", BytesOf("new data")}};
  const PackageBytes package = BuildUpgradePackage(updater_, files);
  ASSERT_TRUE(package.ok()) << package.error;
  const test::ProcessResult run = RunUpdater(package.bytes);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadFileBytes(File("data.txt")), "new data");
  EXPECT_EQ(test::ReadFileBytes(File("PSPKVX")), Script("new"));
  EXPECT_EQ(WaitForMarker(File("marker")), "new\n" + folder_ + "\n");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"PSPKVX", "data.txt", "marker", "upgrade"}));
}

TEST_F(UpgradeProgram, ARefusedPackageReplacesNothingStartsPspkvxAgainAndEndsByItself) {
  const std::vector<ArchiveFile> files = {{"data.txt", BytesOf(std::string(5000, 'd'))}};
  const PackageBytes payload = CompressPayload(EncodeArchive(files).bytes);
  ASSERT_TRUE(payload.ok());
  const std::vector<uint8_t> truncated(payload.bytes.begin(), payload.bytes.end() - 10);
  const test::ProcessResult run = RunUpdater(AssemblePackage(updater_, truncated));
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("upgrade: the package is refused"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadFileBytes(File("data.txt")), "old data");
  EXPECT_EQ(WaitForMarker(File("marker")), "old\n" + folder_ + "\n");
}

}  // namespace
}  // namespace pspkvx
