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
const Tree kOldSave = {{"DATA.BIN", "old data"}, {"OLD.ONLY", "only in the old save"}};

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

  // The file bytes of the new save: what the staging folder takes.
  static uint64_t NewSaveFileBytes() { return 3000 + 4800 + 4; }

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

TEST_F(SaveInstallTest, AnOverwriteReplacesTheWholeEarlierSave) {
  const struct {
    const char* what;
    Tree earlier;
    bool ask;
    std::vector<int> answers;
    size_t questions;
  } kCases[] = {
      {"agreed", kOldSave, true, {ResultYes}, 1},
      {"installed without asking", kOldSave, false, {}, 0},
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
    EXPECT_EQ(TreeOf(SaveData()), TreeOf(dir_.File("source"))) << c.what;
  }
}

TEST_F(SaveInstallTest, SpaceRuleCountsTheEarlierSaveOnlyAfterYes) {
  const uint64_t n = sealed_.size();
  const uint64_t files = NewSaveFileBytes();
  const struct {
    const char* what;
    uint64_t earlierBytes;  // 0: no earlier save
    bool ask;
    uint64_t free;
    int result;
    std::string message;
  } kCases[] = {
      {"N bytes free are enough", 0, true, n, 0, ""},
      {"one byte less is not", 0, true, n - 1, -1, NotEnoughSpace(n - 1, n)},
      {"an agreed overwrite counts the earlier save", 2000, true, n - 2000, 0, ""},
      {"and still needs N in all", 2000, true, n - 2001, -1, NotEnoughSpace(n - 1, n)},
      {"without the question it does not count", 2000, false, n - 2000, -1,
       NotEnoughSpace(n - 2000, n)},
      // The earlier save stays until the new one is complete: its files need room beside it.
      {"the new files need room beside the earlier save", 10000, true, n - 10000, -1,
       NotEnoughSpace(n - 10000, files)},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove_all(SaveData());
    if (c.earlierBytes) MakeSave("SAVE01", {{"OLD.BIN", std::string(c.earlierBytes, 'o')}});
    SetFreeBytes(c.free);
    const Tree before = TreeOf(root_);
    test::ScriptedHost host;
    if (c.earlierBytes && c.ask) host.Answer({ResultYes});
    buffer_ = test::InBuffer(sealed_);
    EXPECT_EQ(InstallSave(Stick(host), buffer_, c.ask), c.result) << c.what;
    std::vector<std::string> messages = host.texts();
    if (c.earlierBytes && c.ask) messages.erase(messages.begin());  // the question
    if (c.message.empty()) {
      EXPECT_TRUE(messages.empty()) << c.what;
      EXPECT_EQ(TreeOf(SaveData()), TreeOf(dir_.File("source"))) << c.what;
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
