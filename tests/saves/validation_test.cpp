#include <gtest/gtest.h>

#include <functional>

#include "base/StringTable.h"
#include "saves/ContainerValidation.h"
#include "saves/SaveContainer.h"
#include "saves/container_fixture.h"

namespace pspkvx {
namespace {

using test::AppendFile;
using test::AppendFolder;
using test::AppendRecord;
using test::Bytes;

struct Hostile {
  const char* what;
  std::function<void(Bytes&)> records;  // appended after the header
  ContainerFault fault = ContainerFault::DamagedRecord;
};

std::vector<Hostile> HostileContainers() {
  using F = ContainerFault;
  return {
      {"a file length past the end",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendRecord(c, kRecordFile, u"\\SAVE01\\DATA.BIN", "abc", 4);
       }},
      {"a huge file length",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendRecord(c, kRecordFile, u"\\SAVE01\\DATA.BIN", std::string(600, 'x'), 0xFFFFFFF0u);
       }},
      {"a folder record cut short",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFolder(c, "\\SAVE01\\SUB");
         c.resize(c.size() - 100);
       }},
      {"a file record head cut short",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         c.insert(c.end(), {kRecordFile, 3, 0, 0, 0, '\\', 0});
       }},
      {"a \"..\" component",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01\\..\\OTHER\\DATA.BIN", "x");
       }},
      {"a \"..\" folder",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFolder(c, "\\SAVE01\\..");
       }},
      {"\"..\" as the save folder", [](Bytes& c) { AppendFolder(c, "\\.."); }},
      {"\"..\" behind a forward slash",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01/../../x", "x");
       }},
      {"\"..\" made of characters whose low byte is a dot",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendRecord(c, kRecordFile, u"\\SAVE01\\\u012E\u012E\\x", "x");
       }},
      {"a component of dots only",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01\\...\\x", "x");
       }},
      {"a component of dots and spaces",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01\\. .\\x", "x");
       }},
      {"an absolute Unix path",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "/etc/passwd", "x");
       }},
      {"an absolute path as the save folder", [](Bytes& c) { AppendFolder(c, "/tmp"); }},
      {"a network path",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\\\server\\share\\x", "x");
       }},
      {"a name without its leading backslash",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "SAVE01\\DATA.BIN", "x");
       }},
      {"a drive prefix",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "C:\\SAVE01\\DATA.BIN", "x");
       }},
      {"a drive prefix after the backslash",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\C:\\Windows\\x", "x");
       }},
      {"a drive as the save folder", [](Bytes& c) { AppendFolder(c, "\\C:"); }},
      {"a stream name",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01\\DATA.BIN:hidden", "x");
       }},
      {"a file in another save folder",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE02\\DATA.BIN", "x");
       }},
      {"a folder that only begins like the save folder",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01X\\DATA.BIN", "x");
       }},
      {"another folder at the top",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFolder(c, "\\OTHER");
       }},
      {"a file beside the save folder",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\DATA.BIN", "x");
       }},
      {"the save folder written as a file",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01", "x");
       }},
      {"an empty component",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01\\\\DATA.BIN", "x");
       }},
      {"a save folder record of two folders", [](Bytes& c) { AppendFolder(c, "\\SAVE01\\SUB"); }},
      {"an empty save folder name", [](Bytes& c) { AppendFolder(c, "\\"); }},
      {"no folder record", [](Bytes& c) { AppendFile(c, "\\SAVE01\\DATA.BIN", "x"); }},
      {"no records at all", [](Bytes&) {}},
      {"a name without its NUL",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendFile(c, "\\SAVE01\\" + std::string(260 - 8, 'n'), "x");
       }},
      {"a name with a NUL byte in its 8-bit form",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendRecord(c, kRecordFile, u"\\SAVE01\\A\u0100B", "x");
       }},
      {"a record of kind 2",
       [](Bytes& c) {
         AppendFolder(c, "\\SAVE01");
         AppendRecord(c, 2, u"\\SAVE01\\OLD");
       },
       F::UnsupportedRecordKind},
      {"a record of kind 255 first", [](Bytes& c) { AppendRecord(c, 255, u"\\SAVE01"); },
       F::UnsupportedRecordKind},
  };
}

TEST(ValidateContainerRecords, RefusesEveryHostileContainer) {
  for (const auto& hostile : HostileContainers()) {
    Bytes plain = test::PlainHeader();
    hostile.records(plain);
    Bytes container = test::Sealed(plain);
    const ContainerVerdict verdict = CheckAndValidateContainer(container);
    EXPECT_EQ(verdict.fault, hostile.fault) << hostile.what << ": " << verdict.detail;
    EXPECT_FALSE(verdict.ok()) << hostile.what;
    EXPECT_FALSE(verdict.detail.empty()) << hostile.what;
    const int message = hostile.fault == ContainerFault::UnsupportedRecordKind
                            ? IDS_SAVE_OLD_BETA_STYLE
                            : IDS_SAVE_CORRUPT;
    EXPECT_EQ(verdict.messageId, message) << hostile.what;
    EXPECT_NE(verdict.installResult, 0) << hostile.what;
  }
}

TEST(ValidateContainerRecords, AcceptsSoundSaves) {
  struct Sound {
    const char* what;
    std::function<void(Bytes&)> records;
  };
  for (const Sound& sound : std::vector<Sound>{
           {"a folder and its files",
            [](Bytes& c) {
              AppendFolder(c, "\\SAVE01");
              AppendFile(c, "\\SAVE01\\DATA.BIN", "data");
              AppendFile(c, "\\SAVE01\\EMPTY", "");
            }},
           {"subfolders",
            [](Bytes& c) {
              AppendFolder(c, "\\SAVE01");
              AppendFolder(c, "\\SAVE01\\SUB");
              AppendFile(c, "\\SAVE01\\SUB\\DEEP.BIN", "data");
              AppendFile(c, "\\SAVE01/SUB/SLASHED.BIN", "data");
            }},
           {"a file before the folder record",
            [](Bytes& c) {
              AppendFile(c, "\\SAVE01\\DATA.BIN", "data");
              AppendFolder(c, "\\SAVE01");
            }},
           {"names with dots that are not paths",
            [](Bytes& c) {
              AppendFolder(c, "\\SAVE01");
              AppendFile(c, "\\SAVE01\\..data", "x");
              AppendFile(c, "\\SAVE01\\.hidden", "x");
            }},
           {"a 259-character name",
            [](Bytes& c) {
              AppendFolder(c, "\\SAVE01");
              AppendFile(c, "\\SAVE01\\" + std::string(259 - 8, 'n'), "x");
            }},
           {"four trailing bytes",
            [](Bytes& c) {
              AppendFolder(c, "\\SAVE01");
              c.insert(c.end(), {2, 2, 2, 2});
            }},
       }) {
    Bytes plain = test::PlainHeader();
    sound.records(plain);
    Bytes container = test::Sealed(plain);
    const ContainerVerdict verdict = CheckAndValidateContainer(container);
    EXPECT_TRUE(verdict.ok()) << sound.what << ": " << verdict.detail;
    EXPECT_EQ(verdict.folderName, "SAVE01") << sound.what;
    EXPECT_EQ(verdict.messageId, 0) << sound.what;
    EXPECT_EQ(container, test::Summed(plain))
        << sound.what << ": the body is left unscrambled to be written";
  }
}

TEST(ValidateContainerRecords, NamesTheFaultyRecord) {
  Bytes plain = test::PlainHeader();
  AppendFolder(plain, "\\SAVE01");
  AppendFile(plain, "\\SAVE01\\GOOD", "x");
  const size_t bad = plain.size();
  AppendFile(plain, "\\SAVE01\\..\\BAD", "x");
  const ContainerVerdict verdict = ValidateContainerRecords(plain);
  EXPECT_EQ(verdict.offset, bad);
  EXPECT_NE(verdict.detail.find("\\SAVE01\\..\\BAD"), std::string::npos) << verdict.detail;
}

TEST(CheckAndValidateContainer, CarriesTheMessageAndResultOfEachCheck) {
  struct Case {
    Bytes container;
    ContainerFault fault;
    int messageId;
    int installResult;
  };
  Bytes damaged = test::Sealed(test::PlainSave());
  damaged.back() ^= 1;
  Bytes newer = test::PlainHeader(u"x", "PSPSAVE009");
  AppendFolder(newer, "\\SAVE01");
  for (const Case& c : std::vector<Case>{
           {test::Sealed(test::PlainSave()), ContainerFault::None, 0, 0},
           {Bytes(50, 'P'), ContainerFault::NotAContainer, IDS_SAVE_CORRUPT, -3},
           {test::Sealed(newer), ContainerFault::NewerVersion, IDS_SAVE_FOR_NEWER_VERSION, -1},
           {damaged, ContainerFault::ChecksumMismatch, IDS_SAVE_CHECKSUM_FAILED, -2},
       }) {
    Bytes container = c.container;
    const ContainerVerdict verdict = CheckAndValidateContainer(container);
    EXPECT_EQ(verdict.fault, c.fault) << verdict.detail;
    EXPECT_EQ(verdict.messageId, c.messageId) << verdict.detail;
    EXPECT_EQ(verdict.installResult, c.installResult) << verdict.detail;
  }
  EXPECT_EQ(std::string(StringText(IDS_SAVE_OLD_BETA_STYLE)),
            "Invalid Save File!! Old beta style!!");
}

}  // namespace
}  // namespace pspkvx
