#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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
  test::WriteFileBytes(
      home.File(".config/user-dirs.dirs"),
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

TEST(ReplaceFileAtomically, OwnerOnlyGivesReadWriteForTheOwnerWhateverWasThere) {
  // With no umask, nothing but the call itself narrows the mode.
  const mode_t savedMask = umask(0);
  const struct {
    const char* what;
    std::optional<mode_t> before;  // none: no file yet
  } kCases[] = {
      {"a new file", std::nullopt},
      {"over rw-r--r--", 0644},
      {"over rw-rw-rw-", 0666},
      {"over r--------", 0400},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.File("PSPKV.CFG");
    if (c.before) {
      test::WriteFileBytes(path, "old");
      ASSERT_EQ(chmod(path.c_str(), *c.before), 0);
    }
    ASSERT_TRUE(
        platform::ReplaceFileAtomically(path, "secret", 6, platform::FileAccess::OwnerOnly));
    EXPECT_EQ(test::ReadFileBytes(path), "secret");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
  }
  umask(savedMask);
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

TEST(Platform, PathStatusMovesAndPartialReads) {
  TempDir dir;
  auto platform = platform::CreateSystemPlatform();
  test::WriteFileBytes(dir.File("file.bin"), "0123456789");
  std::filesystem::create_directories(dir.File("folder/inner"));
  std::filesystem::create_directory_symlink(dir.File("folder"), dir.File("link"));

  const auto file = platform->QueryPath(dir.File("file.bin"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->kind, platform::PathKind::File);
  EXPECT_EQ(file->size, 10u);
  EXPECT_NEAR(static_cast<double>(file->modifiedTime), static_cast<double>(std::time(nullptr)),
              60.0);
  EXPECT_EQ(platform->QueryPath(dir.File("folder"))->kind, platform::PathKind::Folder);
  // A link to a folder is not taken for the folder.
  EXPECT_EQ(platform->QueryPath(dir.File("link"))->kind, platform::PathKind::Other);
  EXPECT_FALSE(platform->QueryPath(dir.File("missing")));

  EXPECT_EQ(platform->ReadFilePart(dir.File("file.bin"), 4, 3), "456");
  EXPECT_EQ(platform->ReadFilePart(dir.File("file.bin"), 8, 80), "89");
  EXPECT_EQ(platform->ReadFilePart(dir.File("file.bin"), 4784, 80), "");
  EXPECT_FALSE(platform->ReadFilePart(dir.File("missing"), 0, 80));

  // A move never replaces what is at the new path, not even an empty folder.
  std::filesystem::create_directory(dir.File("empty"));
  EXPECT_FALSE(platform->MovePath(dir.File("folder"), dir.File("empty")));
  EXPECT_FALSE(platform->MovePath(dir.File("file.bin"), dir.File("link")));
  EXPECT_TRUE(platform->MovePath(dir.File("folder"), dir.File("moved")));
  EXPECT_TRUE(test::FileExists(dir.File("moved/inner")));
  EXPECT_FALSE(test::FileExists(dir.File("folder")));

  EXPECT_FALSE(platform->RemoveFolder(dir.File("moved")));  // not empty
  EXPECT_TRUE(platform->RemoveFolder(dir.File("moved/inner")));
  EXPECT_TRUE(platform->RemoveFolder(dir.File("moved")));
}

TEST(Platform, LocalPathQueryAnswersAsQueryLocalPathWhicheverFolderCameBefore) {
  TempDir dir;
  test::WriteFileBytes(dir.File("file.bin"), "0123456789");
  std::filesystem::create_directories(dir.File("folder/inner"));
  test::WriteFileBytes(dir.File("folder/a.txt"), "abc");
  std::filesystem::create_directories(dir.File("folde2"));
  test::WriteFileBytes(dir.File("folde2/a.txt"), "a longer one");
  std::filesystem::create_directory_symlink(dir.File("folder"), dir.File("link"));
  const std::vector<std::string> paths = {
      dir.File("folder/a.txt"),
      dir.File("folder/inner"),
      dir.File("folder/missing"),
      dir.File("file.bin"),
      dir.File("link/a.txt"),
      dir.File("folder/a.txt"),
      dir.File("folde2/a.txt"),
      dir.File("folder/a.txt"),
      dir.File("folde2/a.txt"),
      dir.File("link"),
      dir.File("file.bin/x"),
      dir.File("missing/a.txt"),
      dir.File("folder/"),
      dir.File("folder/a.txt"),
      "/",
      "/proc",
      dir.File("folder/./a.txt"),
      "",
  };
  const auto same = [](const std::optional<platform::PathStatus>& a,
                       const std::optional<platform::PathStatus>& b) {
    return a.has_value() == b.has_value() &&
           (!a || (a->kind == b->kind && a->size == b->size && a->modifiedTime == b->modifiedTime));
  };
  platform::LocalPathQuery query;
  for (int round = 0; round < 2; ++round) {
    for (const std::string& path : paths) {
      SCOPED_TRACE(path);
      EXPECT_TRUE(same(query(path), platform::QueryLocalPath(path)));
    }
  }
  EXPECT_EQ(query(dir.File("folder/a.txt"))->size, 3u);
  // A file made after its folder was opened is found.
  test::WriteFileBytes(dir.File("folder/b.txt"), "b");
  EXPECT_EQ(query(dir.File("folder/b.txt"))->kind, platform::PathKind::File);
}

TEST(Platform, LocalTimeFollowsTheTimeZone) {
  test::ScopedTimeZone zone("EST5");
  const auto local = platform::LocalTime(1105815789);  // 2005-01-15 19:03:09 UTC
  ASSERT_TRUE(local);
  EXPECT_EQ(local->tm_year, 105);
  EXPECT_EQ(local->tm_mon, 0);
  EXPECT_EQ(local->tm_mday, 15);
  EXPECT_EQ(local->tm_hour, 14);
  EXPECT_EQ(local->tm_min, 3);
  EXPECT_EQ(local->tm_sec, 9);
}

}  // namespace
}  // namespace pspkvx
