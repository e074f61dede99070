#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/Platform.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using test::TempDir;

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnv {
 public:
  void Set(const char* name, const std::string& value) {
    Remember(name);
    setenv(name, value.c_str(), 1);
  }
  void Unset(const char* name) {
    Remember(name);
    unsetenv(name);
  }
  ~ScopedEnv() {
    for (auto& [name, value] : saved_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }

 private:
  void Remember(const char* name) {
    if (saved_.count(name)) return;
    const char* old = getenv(name);
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

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

}  // namespace
}  // namespace pspkvx
