#include "saves/SaveInstall.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "psp/StickLayout.h"
#include "saves/ContainerValidation.h"
#include "saves/ContainerWriter.h"
#include "saves/container_fixture.h"
#include "support/SaveStickFixture.h"

namespace pspkvx {
namespace {

using test::Bytes;
using test::Tree;
using test::TreeOf;

const Tree kNewSave = {{"DATA.BIN", std::string(3000, 'n')},
                       {"PARAM.SFO", std::string(4800, 'p')},
                       {"SUB/MORE", "more"}};
const Tree kOldSave = {
    {"DATA.BIN", "old data"}, {"OLD.ONLY", "only in the old save"}, {"SUB/OLDER", "older"}};

std::string NotEnoughSpace(uint64_t available, uint64_t needed) {
  return FormatString(IDS_NOT_ENOUGH_SPACE, {FormatSize(available), FormatSize(needed)});
}

class SaveInstallTest : public test::SaveStickTest {
 protected:
  SaveInstallTest() {
    test::MakeFiles(dir_.File("source/SAVE01"), kNewSave);
    const ContainerWriteResult packed = PackSaveFolder(dir_.File("source/SAVE01"), "New Title");
    EXPECT_TRUE(packed.ok()) << packed.error;
    sealed_ = packed.container;
  }

  int Install(const Bytes& container, bool ask) {
    buffer_ = test::InBuffer(container);
    return InstallSave(Stick(), buffer_, ask, &report_);
  }

  // The file bytes of the new save.
  static uint64_t NewSaveFileBytes() { return 3000 + 4800 + 4; }
  // A file of the save in the staging folder.
  std::string Staged(const std::string& name) const {
    return SaveData() + "/" + kInstallStagingFolder + "/SAVE01/" + name;
  }

  Bytes sealed_;
  std::vector<uint8_t> buffer_;
  SaveInstallReport report_;
};

TEST_F(SaveInstallTest, RoundTripPackCheckInstall) {
  Bytes checked = sealed_;
  EXPECT_TRUE(CheckAndValidateContainer(checked).ok());

  EXPECT_EQ(Install(sealed_, true), 0);
  EXPECT_TRUE(host_.texts().empty());
  EXPECT_TRUE(report_.installed);
  EXPECT_FALSE(report_.replaced);
  EXPECT_EQ(report_.title, "New Title");
  EXPECT_EQ(report_.folder, "SAVE01");
  // The save and nothing else: no staging folder is left behind.
  EXPECT_EQ(TreeOf(SaveData()), TreeOf(dir_.File("source")));
}

TEST_F(SaveInstallTest, AnsweringNoLeavesTheStickUntouched) {
  MakeSave("SAVE01", kOldSave);
  const Tree before = TreeOf(root_);
  host_.Answer({ResultNo});
  EXPECT_EQ(Install(sealed_, true), 0);
  EXPECT_EQ(host_.texts(),
            std::vector<std::string>{StringOf(IDS_SAVE_EXISTS_ON_PSP) + "\n\nNew Title\nSAVE01"});
  EXPECT_EQ(host_.requests()[0].type, MbYesNo);
  EXPECT_TRUE(host_.flaggedWhileShown());
  EXPECT_TRUE(report_.declined);
  EXPECT_FALSE(report_.installed);
  EXPECT_EQ(TreeOf(root_), before);
}

// The tree of SAVEDATA after the new save was written over an earlier one of the given files.
Tree Merged(const Tree& earlier, const Tree& written) {
  Tree tree = {{"SAVE01", "<folder>"}};
  for (const Tree* files : {&earlier, &written}) {
    for (const auto& [name, bytes] : *files) {
      for (size_t sep = name.find('/'); sep != std::string::npos; sep = name.find('/', sep + 1))
        tree["SAVE01/" + name.substr(0, sep)] = "<folder>";
      tree["SAVE01/" + name] = bytes == "<folder>" ? bytes : test::Digest(bytes);
    }
  }
  return tree;
}

TEST_F(SaveInstallTest, AnOverwriteWritesTheNewFilesOverTheEarlierSaveAndKeepsTheRest) {
  const Tree earlier = {{"DATA.BIN", "old data"},
                        {"OLD.ONLY", "only in the old save"},
                        {"SUB/OLDER", "older"},
                        {"KEEP/DEEP/FILE", "deep"},
                        {"EMPTY", "<folder>"}};
  const struct {
    const char* what;
    Tree earlier;
    bool ask;
    std::vector<int> answers;
    size_t questions;
  } kCases[] = {
      {"agreed", earlier, true, {ResultYes}, 1},
      {"installed without asking", earlier, false, {}, 0},
      {"an empty folder is not asked about", {}, true, {}, 0},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove_all(SaveData());
    MakeSave("SAVE01", c.earlier);
    test::ScriptedHost host;
    host.Answer(c.answers);
    buffer_ = test::InBuffer(sealed_);
    EXPECT_EQ(InstallSave(Stick(host), buffer_, c.ask, &report_), 0) << c.what;
    EXPECT_EQ(host.requests().size(), c.questions) << c.what;
    EXPECT_TRUE(report_.replaced) << c.what;
    EXPECT_EQ(TreeOf(SaveData()), Merged(c.earlier, kNewSave)) << c.what;
  }
}

TEST_F(SaveInstallTest, AFileWhoseNameDiffersInCaseIsWrittenOverOnce) {
  // On the stick's FAT file system "param.sfo" and "PARAM.SFO" are one file.
  MakeSave("SAVE01", {{"param.sfo", "old title"}, {"sub/more", "old more"}, {"Data.Bin", "d"}});
  EXPECT_EQ(Install(sealed_, false), 0);
  EXPECT_TRUE(host_.texts().empty());
  EXPECT_EQ(TreeOf(SaveData()), (Tree{{"SAVE01", "<folder>"},
                                      {"SAVE01/Data.Bin", test::Digest(kNewSave.at("DATA.BIN"))},
                                      {"SAVE01/param.sfo", test::Digest(kNewSave.at("PARAM.SFO"))},
                                      {"SAVE01/sub", "<folder>"},
                                      {"SAVE01/sub/more", "more"}}));
}

TEST_F(SaveInstallTest, SpaceRuleCountsTheStagingCopyAndTheEarlierSaveOnlyAfterYes) {
  const uint64_t n = sealed_.size();
  // An earlier save as large as one of the new files: the container's size decides.
  const Tree small = {{"DATA.BIN", std::string(3000, 'o')}};
  const uint64_t smallStaging = 3000 + NewSaveFileBytes() - 3000;
  // A larger one whose files the new save overwrites under names in another case: the staging
  // copy decides. It takes the earlier save, plus 2000 bytes more for DATA.BIN and the 4 of
  // SUB/MORE; the new PARAM.SFO is smaller than the earlier one.
  const Tree large = {{"data.bin", std::string(1000, 'o')},
                      {"param.sfo", std::string(5000, 'o')},
                      {"OLD.ONLY", std::string(9000, 'o')}};
  const uint64_t largeStaging = 15000 + 2000 + 4;
  ASSERT_GT(n - 3000, smallStaging);
  ASSERT_GT(largeStaging, n);
  const struct {
    const char* what;
    Tree earlier;
    bool ask;
    uint64_t free;
    std::string message;  // empty: installed
  } kCases[] = {
      {"no earlier save: N bytes free are enough", {}, true, n, ""},
      {"one byte less is not", {}, true, n - 1, NotEnoughSpace(n - 1, n)},
      {"an agreed overwrite counts the earlier save", small, true, n - 3000, ""},
      {"and still needs N in all", small, true, n - 3001, NotEnoughSpace(n - 1, n)},
      {"without the question it does not count", small, false, n, ""},
      {"so N - 1 free is too little", small, false, n - 1, NotEnoughSpace(n - 1, n)},
      {"the staging copy fits exactly", large, true, largeStaging, ""},
      {"one byte less for the staging copy", large, true, largeStaging - 1,
       NotEnoughSpace(largeStaging - 1, largeStaging)},
      {"the staging copy counts without the question too", large, false, largeStaging - 1,
       NotEnoughSpace(largeStaging - 1, largeStaging)},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove_all(SaveData());
    if (!c.earlier.empty()) MakeSave("SAVE01", c.earlier);
    SetFreeBytes(c.free);
    const Tree before = TreeOf(root_);
    test::ScriptedHost host;
    const bool asked = !c.earlier.empty() && c.ask;
    if (asked) host.Answer({ResultYes});
    buffer_ = test::InBuffer(sealed_);
    EXPECT_EQ(InstallSave(Stick(host), buffer_, c.ask), c.message.empty() ? 0 : -1) << c.what;
    std::vector<std::string> messages = host.texts();
    if (asked) messages.erase(messages.begin());  // the question
    if (c.message.empty()) {
      EXPECT_TRUE(messages.empty()) << c.what;
    } else {
      EXPECT_EQ(messages, std::vector<std::string>{c.message}) << c.what;
      EXPECT_EQ(TreeOf(root_), before) << c.what;
    }
  }
}

// A container whose first records are sound and whose last one is not.
Bytes WithLastRecord(const std::function<void(Bytes&)>& append,
                     const std::string& magic = "PSPSAVE001") {
  Bytes c = test::PlainHeader(u"Hostile", magic);
  test::AppendFolder(c, "\\SAVE01");
  test::AppendFile(c, "\\SAVE01\\DATA.BIN", "new data");
  append(c);
  return test::Sealed(c);
}

Bytes WithFile(const std::string& name) {
  return WithLastRecord([&](Bytes& c) { test::AppendFile(c, name, "x"); });
}

TEST_F(SaveInstallTest, AFailedInstallLeavesTheEarlierSaveByteForByte) {
  const auto none = [](test::FakePlatform&) {};
  Bytes damagedSum = sealed_;
  damagedSum.back() ^= 0x01;
  const struct {
    const char* what;
    Bytes container;
    std::function<void(test::FakePlatform&)> script;
    std::optional<rlim_t> fileSizeLimit;
    int result;
    int message;
  } kCases[] = {
      // Write failures, after the container was found sound.
      {"short write", sealed_, [](test::FakePlatform& f) { f.writeLimit = 10; }, std::nullopt, -1,
       IDS_STICK_WRITE_FAILED},
      {"short write at the file size limit", sealed_, none, 1000, -1, IDS_STICK_WRITE_FAILED},
      {"a file cannot be created", sealed_,
       [](test::FakePlatform& f) { f.failFileCreation = true; }, std::nullopt, -1,
       IDS_CANNOT_CREATE_ON_STICK},
      // Failures part-way through the staging copy, and after new files were written over it.
      {"the copy of an earlier file cannot be written", sealed_,
       [this](test::FakePlatform& f) {
         f.refuseWrite = [this](const std::string& path) { return path == Staged("SUB/OLDER"); };
       },
       std::nullopt, -1, IDS_CANNOT_CREATE_ON_STICK},
      {"an earlier file cannot be read", sealed_,
       [this](test::FakePlatform& f) {
         f.refuseRead = [this](const std::string& path) {
           return path == SavePath("SAVE01") + "/SUB/OLDER";
         };
       },
       std::nullopt, -1, IDS_SAVE_NOT_REPLACED},
      {"the last record fails after the others were written over the copy", sealed_,
       [this](test::FakePlatform& f) {
         f.refuseWrite = [this](const std::string& path) { return path == Staged("SUB/MORE"); };
       },
       std::nullopt, -1, IDS_CANNOT_CREATE_ON_STICK},
      {"the earlier save cannot be moved aside", sealed_,
       [this](test::FakePlatform& f) {
         f.refuseMove = [this](const std::string& from, const std::string&) {
           return from == SavePath("SAVE01");
         };
       },
       std::nullopt, -1, IDS_SAVE_NOT_REPLACED},
      {"the new save cannot take its place", sealed_,
       [this](test::FakePlatform& f) {
         auto refusals = std::make_shared<int>(1);  // the move back works
         f.refuseMove = [this, refusals](const std::string&, const std::string& to) {
           return to == SavePath("SAVE01") && (*refusals)-- > 0;
         };
       },
       std::nullopt, -1, IDS_SAVE_NOT_REPLACED},
      // Containers refused before anything is written.
      {"record of an old kind",
       WithLastRecord([](Bytes& c) { test::AppendRecord(c, 2, u"\\SAVE01"); }), none, std::nullopt,
       -1, IDS_SAVE_OLD_BETA_STYLE},
      {"length past the end", WithLastRecord([](Bytes& c) {
         test::AppendRecord(c, kRecordFile, test::Wide("\\SAVE01\\BIG"), "abc", 1000000);
       }),
       none, std::nullopt, -3, IDS_SAVE_CORRUPT},
      {"\"..\" component", WithFile("\\SAVE01\\..\\..\\..\\ESCAPED"), none, std::nullopt, -3,
       IDS_SAVE_CORRUPT},
      {"drive prefix", WithFile("C:\\SAVE01\\X"), none, std::nullopt, -3, IDS_SAVE_CORRUPT},
      {"absolute path", WithFile("/tmp/X"), none, std::nullopt, -3, IDS_SAVE_CORRUPT},
      {"another save's folder", WithFile("\\OTHER\\X"), none, std::nullopt, -3, IDS_SAVE_CORRUPT},
      {"not a container", WithLastRecord([](Bytes&) {}, "NOTASAVE01"), none, std::nullopt, -3,
       IDS_SAVE_CORRUPT},
      {"newer version", WithLastRecord([](Bytes&) {}, "PSPSAVE002"), none, std::nullopt, -1,
       IDS_SAVE_FOR_NEWER_VERSION},
      {"checksum mismatch", damagedSum, none, std::nullopt, -2, IDS_SAVE_CHECKSUM_FAILED},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove_all(SaveData());
    MakeSave("SAVE01", kOldSave);
    const Tree before = TreeOf(root_);
    platform_.Change([&](test::FakePlatform& f) {
      f.writeLimit.reset();
      f.failFileCreation = false;
      f.refuseMove = nullptr;
      f.refuseWrite = nullptr;
      f.refuseRead = nullptr;
      c.script(f);
    });
    test::ScriptedHost host;
    buffer_ = test::InBuffer(c.container);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (c.fileSizeLimit) {
      rlimit small = saved;
      small.rlim_cur = *c.fileSizeLimit;
      ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    const int result = InstallSave(Stick(host), buffer_, false, &report_);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(host.texts(), std::vector<std::string>{StringOf(c.message)}) << c.what;
    EXPECT_FALSE(report_.installed) << c.what;
    EXPECT_EQ(TreeOf(root_), before) << c.what;
  }
}

TEST_F(SaveInstallTest, ABufferShorterThanItsLengthIsNotAContainer) {
  std::vector<uint8_t> buffer = test::InBuffer(sealed_);
  buffer.pop_back();
  EXPECT_EQ(InstallSave(Stick(), buffer, true), -3);
  EXPECT_EQ(host_.texts(), std::vector<std::string>{StringOf(IDS_SAVE_CORRUPT)});
  EXPECT_TRUE(TreeOf(root_).empty());
}

TEST_F(SaveInstallTest, TheNextInstallPutsBackASaveThatAnInterruptedOneMovedAside) {
  test::MakeFiles(SaveData(), {{".pspkvx-replaced/SAVE02/DATA.BIN", "stranded"},
                               {".pspkvx-install/SAVE01/DATA.BIN", "half written"}});
  EXPECT_EQ(Install(sealed_, true), 0);
  EXPECT_TRUE(host_.texts().empty());
  Tree expected = TreeOf(dir_.File("source"));
  expected["SAVE02"] = "<folder>";
  expected["SAVE02/DATA.BIN"] = "stranded";
  EXPECT_EQ(TreeOf(SaveData()), expected);
}

}  // namespace
}  // namespace pspkvx
