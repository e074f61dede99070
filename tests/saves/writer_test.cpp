#include <gtest/gtest.h>

#include <filesystem>

#include "saves/ContainerInfo.h"
#include "saves/ContainerValidation.h"
#include "saves/ContainerWriter.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Walked {
  int kind;
  std::string name;
  std::string data;
  bool operator==(const Walked&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Walked& r) {
  return out << r.kind << " " << r.name << " (" << r.data.size() << " bytes)";
}

// Checks a produced container as an install would and lists its records.
std::vector<Walked> CheckAndWalk(Bytes container) {
  const ContainerVerdict verdict = CheckAndValidateContainer(container);
  EXPECT_TRUE(verdict.ok()) << verdict.detail;
  std::vector<Walked> records;
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(container, offset);) {
    const auto record = NextRecord(container, offset);
    if (!record) {
      ADD_FAILURE() << "a record runs past the end at " << offset;
      break;
    }
    records.push_back(
        {record->kind, record->name, std::string(record->data.begin(), record->data.end())});
    offset += record->size;
  }
  return records;
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  test::WriteFileBytes(path.string(), bytes);
}

TEST(PackSaveFolder, RoundTripsAFolderInAStableOrder) {
  test::TempDir dir;
  const fs::path save = fs::path(dir.path()) / "ULUS10041DATA";
  const std::string big(70000, '\x5A');
  Write(save / "PARAM.SFO", std::string(5000, '\x01'));
  Write(save / "DATA.BIN", big);
  Write(save / "ICON0.PNG", "png");
  Write(save / "EMPTY", "");
  Write(save / "B" / "INNER.BIN", "inner");
  Write(save / "A" / "Z" / "DEEP", "deep");
  fs::create_directories(save / "C");
  Write(save / "caf\xC3\xA9", "name bytes kept");

  const auto packed = PackSaveFolder(save.string() + "/", "Ridge Racer");
  ASSERT_TRUE(packed.ok()) << packed.error;
  const std::vector<Walked> expected = {
      {0, "\\ULUS10041DATA", ""},
      {0, "\\ULUS10041DATA\\A", ""},
      {0, "\\ULUS10041DATA\\A\\Z", ""},
      {1, "\\ULUS10041DATA\\A\\Z\\DEEP", "deep"},
      {0, "\\ULUS10041DATA\\B", ""},
      {1, "\\ULUS10041DATA\\B\\INNER.BIN", "inner"},
      {0, "\\ULUS10041DATA\\C", ""},
      {1, "\\ULUS10041DATA\\DATA.BIN", big},
      {1, "\\ULUS10041DATA\\EMPTY", ""},
      {1, "\\ULUS10041DATA\\ICON0.PNG", "png"},
      {1, "\\ULUS10041DATA\\PARAM.SFO", std::string(5000, '\x01')},
      {1, "\\ULUS10041DATA\\caf\xC3\xA9", "name bytes kept"},
  };
  EXPECT_EQ(CheckAndWalk(packed.container), expected);

  Bytes container = packed.container;
  ContainerInfo info;
  ASSERT_EQ(ReadContainerInfo(container, info), kContainerValid);
  EXPECT_EQ(ContainerTitle(info.header), "Ridge Racer");
  EXPECT_EQ(info.folderName, "ULUS10041DATA");
  EXPECT_TRUE(info.iconFound);
  // The same folder packs to the same bytes, however the path names it.
  EXPECT_EQ(PackSaveFolder(save.string(), "Ridge Racer").container, packed.container);
  EXPECT_EQ(PackSaveFolder((save / ".").string(), "Ridge Racer").container, packed.container);
  EXPECT_EQ(PackSaveFolder((save / "A" / "..").string(), "Ridge Racer").container,
            packed.container);
}

TEST(PackSaveFolder, RefusesWhatItCannotPackFaithfully) {
  test::TempDir dir;
  const fs::path save = fs::path(dir.path()) / "SAVE01";
  Write(save / "DATA.BIN", "x");
  fs::create_symlink(save / "DATA.BIN", save / "LINK");
  const fs::path deep = fs::path(dir.path()) / "DEEP01";
  Write(deep / std::string(200, 'd') / std::string(60, 'f'), "x");
  const fs::path colon = fs::path(dir.path()) / "COLON1";
  Write(colon / "a:b", "x");
  const fs::path backslash = fs::path(dir.path()) / "BACKSL";
  Write(backslash / "..\\..\\x", "x");
  const fs::path drive = fs::path(dir.path()) / "C:SAVE";
  Write(drive / "DATA.BIN", "x");
  struct Case {
    std::string folder;
    const char* expected;  // part of the error
  };
  for (const Case& c : std::vector<Case>{{save.string(), "LINK"},
                                         {deep.string(), "259"},
                                         {colon.string(), "\":\""},
                                         {backslash.string(), ".."},
                                         {dir.File("missing"), "not a folder"},
                                         {(save / "DATA.BIN").string(), "not a folder"},
                                         {drive.string(), "does not name a save folder"},
                                         {"/", "does not name a save folder"}}) {
    const auto packed = PackSaveFolder(c.folder, "t");
    EXPECT_FALSE(packed.ok()) << c.folder;
    EXPECT_TRUE(packed.container.empty());
    EXPECT_NE(packed.error.find(c.expected), std::string::npos) << packed.error;
  }
}

TEST(WriteContainer, WritesRecordsInTheGivenOrder) {
  const std::string data = "bytes";
  const auto written = WriteContainer(
      "T",
      {{kRecordFolder, "\\S", {}}, {kRecordFile, "\\S\\B", data}, {kRecordFile, "\\S\\A", ""}});
  ASSERT_TRUE(written.ok()) << written.error;
  EXPECT_EQ(CheckAndWalk(written.container),
            (std::vector<Walked>{{0, "\\S", ""}, {1, "\\S\\B", "bytes"}, {1, "\\S\\A", ""}}));
}

TEST(WriteContainer, NeverProducesWhatAReaderRefuses) {
  struct Case {
    const char* what;
    std::vector<SaveRecordSource> records;
  };
  for (const Case& c : std::vector<Case>{
           {"no records", {}},
           {"a path out of the folder",
            {{kRecordFolder, "\\S", {}}, {kRecordFile, "\\S\\..\\x", "x"}}},
           {"a file outside the folder",
            {{kRecordFolder, "\\S", {}}, {kRecordFile, "\\T\\x", "x"}}},
           {"a name longer than 259 characters",
            {{kRecordFolder, "\\S", {}}, {kRecordFile, "\\S\\" + std::string(257, 'n'), "x"}}},
           {"an unknown kind", {{static_cast<ContainerRecordKind>(2), "\\S", {}}}},
       }) {
    const auto written = WriteContainer("T", c.records);
    EXPECT_FALSE(written.ok()) << c.what;
    EXPECT_TRUE(written.container.empty()) << c.what;
  }
}

TEST(ContainerTitleProblem, TakesUtf8TitlesThatFitTheHeader) {
  EXPECT_EQ(ContainerTitleProblem("Ridge Racer"), "");
  EXPECT_EQ(ContainerTitleProblem("\xE3\x83\xAA\xF0\x9F\x8E\xAE"), "");
  EXPECT_EQ(ContainerTitleProblem(std::string(2200, 't')), "");
  EXPECT_NE(ContainerTitleProblem(std::string(2201, 't')), "");
  EXPECT_NE(ContainerTitleProblem(std::string(1100, 't') + std::string(550, '\0')), "");
  for (const char* bad : {"\xFF", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "a\xE3\x83"})
    EXPECT_NE(ContainerTitleProblem(bad), "") << bad;
  // A title at the limit still leaves room for its NUL inside the header.
  const auto written = WriteContainer(std::string(2200, 't'), {{kRecordFolder, "\\S", {}}});
  ASSERT_TRUE(written.ok()) << written.error;
  EXPECT_EQ(ContainerTitle(std::span<const uint8_t, kContainerHeaderSize>(written.container.data(),
                                                                          kContainerHeaderSize)),
            std::string(2200, 't'));
}

}  // namespace
}  // namespace pspkvx
