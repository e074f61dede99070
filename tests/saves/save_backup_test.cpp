#include <gtest/gtest.h>

#include <filesystem>

#include "saves/SaveBackup.h"
#include "saves/SaveInstall.h"
#include "support/SaveStickFixture.h"

namespace pspkvx {
namespace {

class SaveBackupTest : public test::SaveStickTest {
 protected:
  std::string Backups() const { return dir_.File("backups"); }
};

TEST_F(SaveBackupTest, ABackedUpSaveIsRestoredByteForByte) {
  const std::string binary("\x00\x01\xFF data\r\n", 10);
  MakeSave("ULUS10041SAVE00", {{"PARAM.SFO", test::ParamSfo("Racer")},
                               {"DATA.BIN", binary},
                               {"SUB", "<folder>"},
                               {"SUB/MORE.BIN", std::string(70000, 'm')}});
  const test::Tree before = test::TreeOf(SaveData());
  std::filesystem::create_directories(Backups());

  const SaveBackupResult backup =
      BackupSave(platform_, drive_, "ULUS10041SAVE00", Backups(), false);
  ASSERT_TRUE(backup.ok()) << backup.error;
  EXPECT_EQ(backup.path, Backups() + "/ULUS10041SAVE00.pspsave");

  std::filesystem::remove_all(SavePath("ULUS10041SAVE00"));
  std::vector<uint8_t> buffer = test::InBuffer([&] {
    const std::string bytes = test::ReadFileBytes(backup.path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  }());
  SaveInstallReport report;
  ASSERT_EQ(InstallSave(Stick(), buffer, true, &report), 0);
  EXPECT_EQ(report.title, "Racer");
  EXPECT_EQ(test::TreeOf(SaveData()), before);
}

TEST_F(SaveBackupTest, AnExistingFileIsKeptUnlessOverwriteIsAskedAndMistakesAreSaid) {
  MakeSave("ULUS10041SAVE00", {{"DATA.BIN", "new"}});
  std::filesystem::create_directories(Backups());
  test::WriteFileBytes(Backups() + "/ULUS10041SAVE00.pspsave", "older");
  SaveBackupResult kept = BackupSave(platform_, drive_, "ULUS10041SAVE00", Backups(), false);
  EXPECT_TRUE(kept.exists);
  EXPECT_EQ(test::ReadFileBytes(kept.path), "older");
  EXPECT_TRUE(BackupSave(platform_, drive_, "ULUS10041SAVE00", Backups(), true).ok());
  EXPECT_NE(test::ReadFileBytes(kept.path), "older");

  const std::pair<std::string, std::string> mistakes[] = {
      {"MISSING", Backups()},                // no such save
      {"../x", Backups()},                   // not a save folder name
      {"ULUS10041SAVE00", dir_.File("no")},  // no such folder to write into
  };
  for (const auto& [folder, target] : mistakes) {
    const SaveBackupResult result = BackupSave(platform_, drive_, folder, target, false);
    EXPECT_FALSE(result.ok()) << folder;
    EXPECT_FALSE(result.error.empty());
  }
}

}  // namespace
}  // namespace pspkvx
