#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/Platform.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(Platform, DocumentsFolderPrefersXdgThenDocumentsThenHome) {
  TempDir home;
  ScopedEnv env;
  env.Set("HOME", home.path());
  env.Unset("XDG_CONFIG_HOME");
  auto platform = platform::CreatePlatform();

  EXPECT_EQ(platform->DocumentsFolder(), home.path());  // nothing else exists

  std::filesystem::create_directory(home.File("Documents"));
  EXPECT_EQ(platform->DocumentsFolder(), home.File("Documents"));

  std::filesystem::create_directories(home.File(".config"));
  std::filesystem::create_directory(home.File("Dokumente"));
  test::WriteFileBytes(home.File(".config/user-dirs.dirs"),
                       "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(platform->DocumentsFolder(), home.File("Dokumente"));

  // A configured folder that does not exist is passed over.
  test::WriteFileBytes(home.File(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
  EXPECT_EQ(platform->DocumentsFolder(), home.File("Documents"));
}

TEST(Platform, ProgramPathIsThisTestProgram) {
  auto platform = platform::CreatePlatform();
  const std::string path = platform->ProgramPath();
  EXPECT_EQ(platform::BaseNameOfPath(path), "test_platform");
  EXPECT_EQ(platform->OsFamily(), platform::kOsNt);
}

TEST(Platform, PathHelpers) {
  EXPECT_EQ(platform::FolderOfPath("/a/b/PSPKVX"), "/a/b");
  EXPECT_EQ(platform::FolderOfPath("PSPKVX"), "PSPKVX");
  EXPECT_EQ(platform::BaseNameOfPath("/a/b/PSPKVX.exe"), "PSPKVX");
  EXPECT_EQ(platform::BaseNameOfPath("/a/.hidden"), ".hidden");
  EXPECT_EQ(platform::JoinPath("/a", "PSPKV.CFG"), "/a/PSPKV.CFG");
}

TEST(ReplaceFileAtomically, ReplacesAndKeepsPermissions) {
  TempDir dir;
  const std::string path = dir.File("list.fll");
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "one", 3));
  EXPECT_EQ(test::ReadFileBytes(path), "one");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "two!", 4));
  EXPECT_EQ(test::ReadFileBytes(path), "two!");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_FALSE(platform::ReplaceFileAtomically(dir.File("missing/x"), "x", 1));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(Platform, FileAndFolderOperations) {
  TempDir dir;
  auto platform = platform::CreateSystemPlatform();
  EXPECT_TRUE(platform->CreateFolder(dir.File("PSP")));
  EXPECT_FALSE(platform->CreateFolder(dir.File("PSP")));  // already there
  EXPECT_FALSE(platform->CreateFolder(dir.File("no/such/parent")));
  EXPECT_TRUE(platform->CreateEmptyFile(dir.File("probe.tmp")));
  test::WriteFileBytes(dir.File("old.bin"), "old contents");
  EXPECT_EQ(platform->WriteWholeFile(dir.File("old.bin"), "new", 3), 3u);  // truncates
  EXPECT_EQ(test::ReadFileBytes(dir.File("old.bin")), "new");
  EXPECT_FALSE(platform->WriteWholeFile(dir.File("no/such/file"), "x", 1));

  auto entries = platform->ListFolder(dir.path());
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "PSP");
  EXPECT_TRUE(entries[0].isFolder);
  EXPECT_EQ(entries[1].name, "old.bin");
  EXPECT_FALSE(entries[1].isFolder);
  EXPECT_TRUE(platform->ListFolder(dir.File("missing")).empty());

  EXPECT_TRUE(platform->RemoveFile(dir.File("probe.tmp")));
  EXPECT_FALSE(platform->RemoveFile(dir.File("probe.tmp")));
  const auto space = platform->QueryDiskSpace(dir.path());
  ASSERT_TRUE(space);
  EXPECT_GT(space->totalBytes, 0u);
  EXPECT_LE(space->freeBytes, space->totalBytes);
  EXPECT_FALSE(platform->QueryDiskSpace(""));
  EXPECT_FALSE(platform->QueryDiskSpace(dir.File("missing")));
  // Letters without a mounted removable volume have no root and no geometry.
  EXPECT_EQ(platform->DriveRoot('C'), "");
  EXPECT_FALSE(platform->QueryVolumeGeometry('C'));
}

}  // namespace
}  // namespace pspkvx
