#include "platform/SimulatedPsp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace pspkvx::platform {
namespace {

namespace fs = std::filesystem;

// Every entry below a folder by relative path: a file's bytes, or "<folder>".
using Tree = std::map<std::string, std::string>;

Tree TreeOf(const std::string& folder) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    tree[fs::relative(entry.path(), folder).generic_string()] =
        entry.is_directory() ? "<folder>" : test::ReadFileBytes(entry.path().string());
  return tree;
}

void MakeTree(const std::string& folder, const Tree& tree) {
  for (const auto& [relative, bytes] : tree) {
    const fs::path path = fs::path(folder) / relative;
    if (bytes == "<folder>") {
      fs::create_directories(path);
    } else {
      fs::create_directories(path.parent_path());
      test::WriteFileBytes(path.string(), bytes);
    }
  }
}

// A stick whose names are in upper case, as the PSP writes them, plus one folder holding two
// files whose names differ only in case (the host's file system can hold both).
const Tree kStick = {
    {"PSP", "<folder>"},
    {"PSP/SAVEDATA", "<folder>"},
    {"PSP/SAVEDATA/OTHER", "<folder>"},
    {"PSP/SAVEDATA/ULUS10041", "<folder>"},
    {"PSP/SAVEDATA/ULUS10041/ICON0.PNG", "old icon"},
    {"PSP/SAVEDATA/ULUS10041/PARAM.SFO", "title"},
    {"PSP/SAVEDATA/ULUS10041/SCRATCH.TMP", "scratch"},
    {"PSP/SAVEDATA/TWO", "<folder>"},
    {"PSP/SAVEDATA/TWO/DATA.BIN", "upper"},
    {"PSP/SAVEDATA/TWO/data.bin", "lower"},
};

class SimulatedStickFiles : public ::testing::Test {
 protected:
  SimulatedStickFiles() {
    MakeTree(Stick(), kStick);
    platform_ = WithSimulatedPsp(CreateSystemPlatform(), Stick(), 1 << 20);
  }
  std::string Stick() const { return dir_.File("stick"); }
  std::string OnStick(const std::string& relative) const { return Stick() + "/" + relative; }

  test::TempDir dir_;
  std::unique_ptr<Platform> platform_;
};

TEST_F(SimulatedStickFiles, FindsExistingNamesWhateverTheirCase) {
  Platform& files = *platform_;
  const auto icon = files.QueryPath(OnStick("psp/savedata/ulus10041/icon0.png"));
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->kind, PathKind::File);
  EXPECT_EQ(icon->size, 8u);
  EXPECT_EQ(files.QueryPath(OnStick("Psp/SaveData"))->kind, PathKind::Folder);
  EXPECT_EQ(files.ReadFilePart(OnStick("psp/savedata/ulus10041/param.sfo"), 1, 10), "itle");
  std::vector<std::string> listed;
  for (const FolderEntry& entry : files.ListFolder(OnStick("psp/savedata/ulus10041")))
    listed.push_back(entry.name);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"ICON0.PNG", "PARAM.SFO", "SCRATCH.TMP"}));
  // An exact match wins over another case.
  EXPECT_EQ(files.ReadFilePart(OnStick("psp/savedata/two/data.bin"), 0, 10), "lower");
  EXPECT_EQ(files.ReadFilePart(OnStick("psp/savedata/two/DATA.BIN"), 0, 10), "upper");
  EXPECT_FALSE(files.QueryPath(OnStick("psp/savedata/ulus10041/icon1.png")));
}

TEST_F(SimulatedStickFiles, ChangesTheEntryThatExistsInAnotherCase) {
  Platform& files = *platform_;
  EXPECT_EQ(files.WriteWholeFile(OnStick("psp/savedata/ulus10041/icon0.png"), "new icon!", 9), 9u);
  EXPECT_TRUE(files.CreateEmptyFile(OnStick("psp/savedata/ulus10041/Param.Sfo")));
  EXPECT_FALSE(files.CreateFolder(OnStick("psp")));  // exists as "PSP"
  EXPECT_FALSE(files.CreateFolder(OnStick("PSP/savedata/other")));
  // A new name is created as given, inside the folders as they are.
  EXPECT_TRUE(files.CreateFolder(OnStick("psp/savedata/New")));
  EXPECT_EQ(files.WriteWholeFile(OnStick("psp/SaveData/new/a.bin"), "a", 1), 1u);
  EXPECT_TRUE(files.RemoveFile(OnStick("psp/savedata/ulus10041/scratch.tmp")));
  EXPECT_TRUE(files.RemoveFolder(OnStick("psp/savedata/other")));

  Tree expected = kStick;
  expected["PSP/SAVEDATA/ULUS10041/ICON0.PNG"] = "new icon!";
  expected["PSP/SAVEDATA/ULUS10041/PARAM.SFO"] = "";
  expected["PSP/SAVEDATA/New"] = "<folder>";
  expected["PSP/SAVEDATA/New/a.bin"] = "a";
  expected.erase("PSP/SAVEDATA/ULUS10041/SCRATCH.TMP");
  expected.erase("PSP/SAVEDATA/OTHER");
  EXPECT_EQ(TreeOf(Stick()), expected);
}

TEST_F(SimulatedStickFiles, AMoveNeverLandsOnANameThatExistsInAnotherCase) {
  const struct {
    const char* from;
    const char* to;
    bool moved;
    const char* landed;  // where the moved folder is afterwards
  } kCases[] = {
      {"psp/savedata/other", "PSP/SAVEDATA/ulus10041", false, "PSP/SAVEDATA/OTHER"},
      {"PSP/SAVEDATA/OTHER", "psp/savedata/two", false, "PSP/SAVEDATA/OTHER"},
      {"psp/savedata/other", "psp/savedata/OTHER", false, "PSP/SAVEDATA/OTHER"},  // itself
      // Another case of its own name: the same entry, renamed.
      {"psp/savedata/other", "psp/savedata/Other", true, "PSP/SAVEDATA/Other"},
      {"PSP/SAVEDATA/OTHER", "psp/savedata/.pspkvx-replaced", true,
       "PSP/SAVEDATA/.pspkvx-replaced"},
      {"psp/savedata/other", "psp/game", true, "PSP/game"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
    fs::remove_all(Stick());
    MakeTree(Stick(), kStick);
    EXPECT_EQ(platform_->MovePath(OnStick(c.from), OnStick(c.to)), c.moved);
    Tree expected = kStick;
    expected.erase("PSP/SAVEDATA/OTHER");
    expected[c.landed] = "<folder>";
    EXPECT_EQ(TreeOf(Stick()), expected);
  }
}

TEST_F(SimulatedStickFiles, PathsOutsideItsFolderPassUnchanged) {
  MakeTree(dir_.path(), {{"outside/FILE.TXT", "outside"}, {"stick2/PSP/A.TXT", "beside"}});
  Platform& files = *platform_;
  const std::string kPaths[] = {dir_.File("outside/file.txt"), dir_.File("stick2/psp/a.txt"),
                                OnStick("../outside/file.txt"), OnStick("psp/../psp")};
  for (const std::string& path : kPaths) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(files.QueryPath(path));
    EXPECT_FALSE(files.ReadFilePart(path, 0, 10));
    EXPECT_TRUE(files.ListFolder(path).empty());
  }
  EXPECT_EQ(files.WriteWholeFile(dir_.File("outside/file.txt"), "x", 1), 1u);
  EXPECT_EQ(test::ReadFileBytes(dir_.File("outside/FILE.TXT")), "outside");
  EXPECT_TRUE(files.CreateFolder(dir_.File("Stick")));  // not the simulated folder
}

TEST(SimulatedPsp, ShowsItsDeviceAndVolumeOnlyWhileTheFolderExists) {
  test::TempDir dir;
  const std::string folder = dir.File("psp");
  auto system = std::make_unique<test::FakePlatform>();
  system->usbPaths = {"\\\\?\\usb#vid_1d6b&pid_0002#hub#x"};
  system->volumes['D'].root = "/media/stick/";
  system->volumes['P'].root = "/media/real-p/";  // the simulated PSP takes letter P's place
  auto platform = WithSimulatedPsp(std::move(system), folder + "/", 10000);

  EXPECT_EQ(platform->UsbDeviceInterfacePaths().size(), 1u);
  EXPECT_EQ(platform->DriveRoot('P'), "");
  EXPECT_FALSE(platform->QueryVolumeGeometry('P'));
  EXPECT_FALSE(platform->QueryDiskSpace(folder + "/"));
  EXPECT_EQ(platform->DriveRoot('D'), "/media/stick/");

  fs::create_directories(folder + "/PSP/SAVEDATA");
  test::WriteFileBytes(folder + "/PSP/SAVEDATA/a.bin", std::string(1500, 'a'));
  test::WriteFileBytes(folder + "/b.bin", std::string(500, 'b'));
  const auto paths = platform->UsbDeviceInterfacePaths();
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[1], SimulatedPspDevicePath());
  EXPECT_EQ(paths[1],
            "\\\\?\\usb#vid_054c&pid_01c8#PSPKVXSIMULATED#"
            "{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  EXPECT_EQ(platform->DriveRoot('P'), folder + "/");
  EXPECT_EQ(platform->QueryVolumeGeometry('P')->mediaType, kMediaRemovable);
  EXPECT_EQ(platform->QueryVolumeGeometry('P')->bytesPerSector, 512u);
  const auto space = platform->QueryDiskSpace(folder + "/");
  ASSERT_TRUE(space);
  EXPECT_EQ(space->totalBytes, 10000u);
  EXPECT_EQ(space->freeBytes, 8000u);

  // More stored than the capacity: no free space, never a wrapped-round number.
  test::WriteFileBytes(folder + "/big.bin", std::string(9000, 'c'));
  EXPECT_EQ(platform->QueryDiskSpace(folder)->freeBytes, 0u);
}

TEST(SimulatedPsp, FreeSpaceNeverExceedsTheRealVolumes) {
  test::TempDir dir;
  auto system = std::make_unique<test::FakePlatform>();
  system->volumes['Q'].root = dir.path();  // the fake answers for the folder's own volume
  system->volumes['Q'].space = DiskSpace{300, 1000000};
  auto platform = WithSimulatedPsp(std::move(system), dir.path(), 10000);
  EXPECT_EQ(platform->QueryDiskSpace(dir.path() + "/")->freeBytes, 300u);
}

TEST(SimulatedPsp, CapacityFromTheEnvironmentText) {
  const struct {
    const char* text;
    uint64_t capacity;
  } cases[] = {
      {nullptr, kDefaultSimulatedCapacity},
      {"", kDefaultSimulatedCapacity},
      {"123456789", 123456789},
      {"17179869184", uint64_t(16) << 30},
      {"0", kDefaultSimulatedCapacity},
      {"12a", kDefaultSimulatedCapacity},
      {"-5", kDefaultSimulatedCapacity},
      {"99999999999999999999", kDefaultSimulatedCapacity},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SimulatedCapacityFromText(c.text), c.capacity) << (c.text ? c.text : "null");
}

}  // namespace
}  // namespace pspkvx::platform
