#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "app/AppConfig.h"
#include "base/RecordChecksum.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const std::string kDocs = "/home/user/Documents";

// A valid file image of a record: the 1664 bytes and their checksum.
std::string FileImage(const AppConfig& config) {
  std::string bytes(reinterpret_cast<const char*>(&config), sizeof config);
  const uint32_t sum = RecordChecksum(bytes.data(), bytes.size());
  for (int i = 0; i < 4; ++i)
    bytes += static_cast<char>(sum >> (8 * i));
  return bytes;
}

AppConfig CustomRecord() {
  AppConfig config;
  SetConfigDefaults(config, kDocs);
  config.PhotoCopyMode = 2;
  config.PspDriveLetter = 'K';
  config.WindowWidth = 1000;
  SetFieldText(config.OnlineUserName, "sam");
  return config;
}

TEST(RecordChecksum, KnownValues) {
  EXPECT_EQ(RecordChecksum("", 0), 0xABC46462u);
  EXPECT_EQ(RecordChecksum("abc", 3), 0xAFC46434u);
  // The bit put back for an odd sum is bit 28, not bit 31.
  const unsigned char one = 1;
  EXPECT_EQ(RecordChecksum(&one, 1), 0x10000000u ^ 0xABC46462u);
}

TEST(ConfigDefaults, MatchTheRecordTable) {
  TempDir dir;
  AppConfig config;
  EXPECT_TRUE(LoadConfig(config, dir.path(), kDocs));
  EXPECT_EQ(std::string(config.Magic, 10), "PSPKVXQ001");
  const int32_t widths[5] = {0, 184, 86, 172, 400};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(config.FileListColumnWidths[i], widths[i]);
    EXPECT_EQ(config.SecondListColumnWidths[i], widths[i]);
  }
  EXPECT_EQ(FieldText(config.PcFolder), kDocs);
  EXPECT_EQ(FieldText(config.ConvertFolder), kDocs);
  EXPECT_EQ(config.SearchForPsp, 1);
  EXPECT_EQ(config.PspDriveLetter, 'D');
  EXPECT_EQ(config.WindowLeft, -1);
  EXPECT_EQ(config.WindowTop, -1);
  EXPECT_EQ(config.WindowWidth, 780);
  EXPECT_EQ(config.WindowHeight, 570);
  EXPECT_EQ(config.ListFontHeight, 15);
  EXPECT_EQ(FieldText(config.LastAddFolder), "");
  EXPECT_EQ(config.VideoOptions, 2u);
  EXPECT_EQ(config.Reserved1644, 1);
  EXPECT_EQ(config.OnlineRegion, 3);
  EXPECT_EQ(config.ListViewToggles, 1u);
  EXPECT_EQ(config.ScreenSize, 0x01E00110u);
}

// Each case writes a file and says whether LoadConfig must take it.
struct LoadCase {
  const char* name;
  std::function<std::string()> file;
  bool accepted;
};

TEST(LoadConfig, AcceptsOnlyWholeValidFiles) {
  const AppConfig custom = CustomRecord();
  const std::string good = FileImage(custom);
  auto withVersion = [&](const char* digits) {
    AppConfig c = custom;
    std::memcpy(c.Magic + 8, digits, 2);
    return FileImage(c);
  };
  const std::vector<LoadCase> cases = {
      {"valid file", [&] { return good; }, true},
      {"empty file", [] { return std::string(); }, false},
      {"shorter than the magic", [&] { return good.substr(0, 9); }, false},
      {"record cut short", [&] { return good.substr(0, 1000); }, false},
      {"checksum missing", [&] { return good.substr(0, 1664); }, false},
      {"checksum cut short", [&] { return good.substr(0, 1666); }, false},
      {"other program's prefix",
       [&] {
         AppConfig c = custom;
         std::memcpy(c.Magic, "PSPKVYQ001", 10);
         return FileImage(c);
       },
       false},
      {"newer version 02", [&] { return withVersion("02"); }, false},
      {"older version 00", [&] { return withVersion("00"); }, true},
      {"changed byte in the record",
       [&] {
         std::string b = good;
         b[400] ^= 0x01;
         return b;
       },
       false},
      {"changed checksum byte",
       [&] {
         std::string b = good;
         b[1667] ^= 0x80;
         return b;
       },
       false},
      {"trailing bytes after the checksum", [&] { return good + "xyz"; }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteFileBytes(dir.File("PSPKV.CFG"), c.file());
    AppConfig config;
    const bool firstRun = LoadConfig(config, dir.path(), kDocs);
    EXPECT_EQ(firstRun, !c.accepted);
    if (c.accepted) {
      EXPECT_EQ(config.PspDriveLetter, 'K');
      EXPECT_EQ(FieldText(config.OnlineUserName), "sam");
    } else {
      EXPECT_EQ(config.PspDriveLetter, 'D');
      EXPECT_EQ(FieldText(config.OnlineUserName), "");
      EXPECT_EQ(config.WindowWidth, 780);
    }
  }
}

TEST(LoadConfig, MissingFileGivesDefaultsAndFirstRun) {
  TempDir dir;
  AppConfig config;
  EXPECT_TRUE(LoadConfig(config, dir.path(), kDocs));
  EXPECT_FALSE(test::FileExists(dir.File("PSPKV.CFG")));
}

// What PSPKVX's start-up reads: a pipe or a folder where the record should be gives the
// defaults at once, never a wait for a writer that does not come.
TEST(LoadConfig, APipeOrAFolderInPlaceOfTheFileGivesTheDefaultsWithoutWaiting) {
  TempDir pipe;
  ASSERT_EQ(mkfifo(pipe.File("PSPKV.CFG").c_str(), 0600), 0);
  TempDir folder;
  std::filesystem::create_directory(folder.File("PSPKV.CFG"));
  for (const std::string& where : {pipe.path(), folder.path()}) {
    AppConfig config;
    EXPECT_TRUE(LoadConfig(config, where, kDocs));
    EXPECT_EQ(config.PspDriveLetter, 'D') << where;  // the default
  }
}

TEST(LoadConfig, RestoresZeroWidthsOfShownColumns) {
  AppConfig custom = CustomRecord();
  const int32_t stored[5] = {0, 0, 50, 0, 0};
  std::memcpy(custom.FileListColumnWidths, stored, sizeof stored);
  std::memcpy(custom.SecondListColumnWidths, stored, sizeof stored);
  custom.SecondListColumnWidths[0] = 7;
  TempDir dir;
  WriteFileBytes(dir.File("PSPKV.CFG"), FileImage(custom));
  AppConfig config;
  ASSERT_FALSE(LoadConfig(config, dir.path(), kDocs));
  const int32_t fileExpected[5] = {0, 184, 50, 172, 400};
  const int32_t secondExpected[5] = {7, 184, 50, 172, 400};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(config.FileListColumnWidths[i], fileExpected[i]) << i;
    EXPECT_EQ(config.SecondListColumnWidths[i], secondExpected[i]) << i;
  }
}

TEST(SaveConfig, RoundTripsAndWritesOwnMagicAfterOldVersionLoad) {
  AppConfig old = CustomRecord();
  std::memcpy(old.Magic + 8, "00", 2);
  TempDir dir;
  WriteFileBytes(dir.File("PSPKV.CFG"), FileImage(old));
  AppConfig config;
  ASSERT_FALSE(LoadConfig(config, dir.path(), kDocs));
  EXPECT_EQ(std::string(config.Magic, 10), "PSPKVXQ000");
  ASSERT_TRUE(SaveConfig(config, dir.path()));

  const std::string written = ReadFileBytes(dir.File("PSPKV.CFG"));
  ASSERT_EQ(written.size(), 1668u);
  EXPECT_EQ(written.substr(0, 10), "PSPKVXQ001");
  AppConfig expected = CustomRecord();
  EXPECT_EQ(written, FileImage(expected));
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(SaveConfig, WritesTheFileReadableByItsOwnerOnly) {
  // It holds the online password; an earlier file that others could read is replaced by one they
  // cannot.
  TempDir dir;
  const std::string path = dir.File("PSPKV.CFG");
  WriteFileBytes(path, "earlier");
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  AppConfig config = CustomRecord();
  SetFieldText(config.OnlinePassword, "hunter2");
  ASSERT_TRUE(SaveConfig(config, dir.path()));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(ReadFileBytes(path), FileImage(config));
}

TEST(SaveConfig, FailedWriteKeepsThePreviousFile) {
  TempDir dir;
  AppConfig previous = CustomRecord();
  ASSERT_TRUE(SaveConfig(previous, dir.path()));
  const std::string before = ReadFileBytes(dir.File("PSPKV.CFG"));

  // A file-size limit below the record's size makes the write fail part-way, as a full disk
  // would (root is bound by it too).
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  AppConfig changed = CustomRecord();
  changed.PspDriveLetter = 'Q';
  const bool saved_ok = SaveConfig(changed, dir.path());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(ReadFileBytes(dir.File("PSPKV.CFG")), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(SaveConfig, ReportsAFolderThatDoesNotExist) {
  AppConfig config = CustomRecord();
  EXPECT_FALSE(SaveConfig(config, "/nonexistent/pspkvx/folder"));
}

}  // namespace
}  // namespace pspkvx
