// The upgrade package: its exact layout, round trips, and every kind of hostile package refused
// whole.
#include <gtest/gtest.h>

#include "base/LittleEndian.h"
#include "saves/ContainerScramble.h"
#include "saves/SaveContainer.h"
#include "update/UpgradeFile.h"
#include "update/UpgradePackage.h"

namespace pspkvx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

const Bytes kUpdater = BytesOf(
    "\x7F"
    "ELF updater program bytes");

// A package whose payload is the given archive bytes, compressed as they are.
Bytes PackageOfArchive(const Bytes& archive) {
  const PackageBytes payload = CompressPayload(archive);
  EXPECT_TRUE(payload.ok()) << payload.error;
  return AssemblePackage(kUpdater, payload.bytes);
}

// One raw record: [length][name][NUL][data]; the length word may lie about the data.
Bytes Record(std::string_view name, std::string_view data, uint32_t length) {
  Bytes record(4);
  WriteLe32(record.data(), length);
  record.insert(record.end(), name.begin(), name.end());
  record.push_back(0);
  record.insert(record.end(), data.begin(), data.end());
  return record;
}

Bytes Record(std::string_view name, std::string_view data) {
  return Record(name, data, static_cast<uint32_t>(data.size()));
}

Bytes Joined(std::initializer_list<Bytes> pieces) {
  Bytes joined;
  for (const Bytes& piece : pieces)
    joined.insert(joined.end(), piece.begin(), piece.end());
  return joined;
}

TEST(UpgradePackage, TheLayoutIsUpdaterPayloadAndLengthWordAroundAnLzmaAloneStream) {
  const std::vector<ArchiveFile> files = {{"PSPKVX", BytesOf("new program")}, {"empty.txt", {}}};
  const PackageBytes archive = EncodeArchive(files);
  ASSERT_TRUE(archive.ok()) << archive.error;
  EXPECT_EQ(archive.bytes, Joined({Record("PSPKVX", "new program"), Record("empty.txt", "")}));

  const PackageBytes package = BuildUpgradePackage(kUpdater, files);
  ASSERT_TRUE(package.ok()) << package.error;
  const Bytes& bytes = package.bytes;
  ASSERT_GT(bytes.size(), kUpdater.size() + 4 + kPayloadHeaderBytes);
  EXPECT_TRUE(std::equal(kUpdater.begin(), kUpdater.end(), bytes.begin()));
  const uint32_t payloadBytes = ReadLe32(bytes.data() + bytes.size() - 4);
  EXPECT_EQ(payloadBytes, bytes.size() - kUpdater.size() - 4);
  const uint8_t* header = bytes.data() + kUpdater.size();
  EXPECT_EQ(header[0], 0x5D);
  EXPECT_EQ(ReadLe32(header + 1), 8u << 20);
  EXPECT_EQ(ReadLe32(header + 5), archive.bytes.size());  // the size is declared, not unknown
  EXPECT_EQ(ReadLe32(header + 9), 0u);
}

TEST(UpgradePackage, FilesComeBackInOrderWithTheirBytes) {
  Bytes binary(300000);
  for (size_t i = 0; i < binary.size(); ++i)
    binary[i] = static_cast<uint8_t>((i * 7919) ^ (i >> 5));  // holds NULs, compresses badly
  const std::vector<ArchiveFile> files = {
      {"PSPKVX", binary}, {"empty", {}}, {"readme.txt", BytesOf("text\n")}, {"z", {0}}};
  const PackageBytes package = BuildUpgradePackage(kUpdater, files);
  ASSERT_TRUE(package.ok()) << package.error;
  const ArchiveReading reading = ReadUpgradePackage(package.bytes);
  ASSERT_TRUE(reading.ok()) << reading.reason;
  ASSERT_EQ(reading.entries.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(reading.entries[i].name, files[i].name);
    const auto data = reading.DataOf(reading.entries[i]);
    EXPECT_EQ(Bytes(data.begin(), data.end()), files[i].bytes) << files[i].name;
  }
}

TEST(UpgradePackage, AnEmptyPayloadAndAnArchiveWithoutFilesAreEmptyArchives) {
  const ArchiveReading noPayload = ReadUpgradePackage(Joined({kUpdater, Bytes(4, 0)}));
  ASSERT_TRUE(noPayload.ok()) << noPayload.reason;
  EXPECT_TRUE(noPayload.entries.empty());
  const PackageBytes noFiles = BuildUpgradePackage(kUpdater, {});
  ASSERT_TRUE(noFiles.ok());
  const ArchiveReading empty = ReadUpgradePackage(noFiles.bytes);
  ASSERT_TRUE(empty.ok()) << empty.reason;
  EXPECT_TRUE(empty.entries.empty());
}

TEST(UpgradePackage, TheSizeLimitHoldsAtItsBoundary) {
  const Bytes archive = Record("a", std::string(95, 'x'));  // 4 + 2 + 95 bytes
  const Bytes package = PackageOfArchive(archive);
  EXPECT_TRUE(ReadUpgradePackage(package, archive.size()).ok());
  const ArchiveReading over = ReadUpgradePackage(package, archive.size() - 1);
  EXPECT_EQ(over.problem, PackageProblem::TooLarge);
}

TEST(UpgradePackage, HostilePackagesAreRefusedWhole) {
  const Bytes sound = Record("ok.txt", "fine");
  const Bytes soundPayload =
      CompressPayload(Joined({sound, Record("more", std::string(500, 'm'))})).bytes;
  Bytes truncated(soundPayload.begin(), soundPayload.end() - 6);
  Bytes declaresTooMuch = soundPayload;
  WriteLe32(&declaresTooMuch[5], static_cast<uint32_t>(kMaxArchiveBytes + 1));
  Bytes unknownSize = soundPayload;
  std::fill(unknownSize.begin() + 5, unknownSize.begin() + 13, 0xFF);
  Bytes badProperties = soundPayload;
  badProperties[0] = 0xFF;
  Bytes trailing = soundPayload;
  trailing.insert(trailing.end(), {1, 2, 3});
  Bytes payloadTooLong = AssemblePackage(kUpdater, soundPayload);
  WriteLe32(payloadTooLong.data() + payloadTooLong.size() - 4,
            static_cast<uint32_t>(payloadTooLong.size() - 3));

  const struct {
    const char* what;
    Bytes package;
    PackageProblem problem;
  } cases[] = {
      {"a parent folder", PackageOfArchive(Joined({sound, Record("../x", "evil")})),
       PackageProblem::BadRecord},
      {"a slash", PackageOfArchive(Joined({sound, Record("a/b", "x")})), PackageProblem::BadRecord},
      {"a backslash", PackageOfArchive(Record("a\\b", "x")), PackageProblem::BadRecord},
      {"an empty name", PackageOfArchive(Joined({sound, Record("", "x")})),
       PackageProblem::BadRecord},
      {"dots only", PackageOfArchive(Record("..", "x")), PackageProblem::BadRecord},
      {"a stream prefix", PackageOfArchive(Record("a:b", "x")), PackageProblem::BadRecord},
      {"a name without its NUL",
       PackageOfArchive(Joined({sound, Bytes{1, 0, 0, 0, 'n', 'a', 'm', 'e'}})),
       PackageProblem::BadRecord},
      {"a name above the longest",
       PackageOfArchive(Record(std::string(kMaxArchiveNameBytes + 1, 'n'), "x")),
       PackageProblem::BadRecord},
      {"a length past the end", PackageOfArchive(Joined({sound, Record("b", "abc", 4)})),
       PackageProblem::BadRecord},
      {"a cut length word", PackageOfArchive(Joined({sound, Bytes{1, 0}})),
       PackageProblem::BadRecord},
      {"a name given twice", PackageOfArchive(Joined({sound, Record("ok.txt", "again")})),
       PackageProblem::BadRecord},
      {"a truncated stream", AssemblePackage(kUpdater, truncated), PackageProblem::Undecodable},
      {"bytes after the stream", AssemblePackage(kUpdater, trailing), PackageProblem::Undecodable},
      {"a declared size above the limit", AssemblePackage(kUpdater, declaresTooMuch),
       PackageProblem::TooLarge},
      {"an unknown size", AssemblePackage(kUpdater, unknownSize), PackageProblem::TooLarge},
      {"impossible properties", AssemblePackage(kUpdater, badProperties),
       PackageProblem::BadHeader},
      {"a payload shorter than its header", AssemblePackage(kUpdater, Bytes(5, 0x5D)),
       PackageProblem::BadHeader},
      {"N larger than S-4", payloadTooLong, PackageProblem::PayloadTooLong},
      {"no length word", Bytes{1, 2, 3}, PackageProblem::NoLengthWord},
  };
  for (const auto& c : cases) {
    const ArchiveReading reading = ReadUpgradePackage(c.package);
    EXPECT_EQ(reading.problem, c.problem) << c.what << ": " << reading.reason;
    EXPECT_FALSE(reading.reason.empty()) << c.what;
    EXPECT_TRUE(reading.entries.empty()) << c.what;
  }
}

TEST(UpgradePackage, ArchivesThatTheUpdaterWouldRefuseAreNotMade) {
  const struct {
    const char* what;
    std::vector<ArchiveFile> files;
  } cases[] = {
      {"a path", {{"dir/PSPKVX", {}}}},
      {"a parent folder", {{"..", {}}}},
      {"an empty name", {{"", {}}}},
      {"a name twice", {{"a", {}}, {"a", {1}}}},
      {"a long name", {{std::string(kMaxArchiveNameBytes + 1, 'n'), {}}}},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(EncodeArchive(c.files).ok()) << c.what;
  const std::vector<ArchiveFile> longest = {{std::string(kMaxArchiveNameBytes, 'n'), {}}};
  EXPECT_TRUE(EncodeArchive(longest).ok());
}

TEST(UpgradePackage, TheReleaseContainerHoldsThePackageAsPspkvxReadsIt) {
  const std::vector<ArchiveFile> files = {{"PSPKVX", BytesOf("new")}};
  const PackageBytes package = BuildUpgradePackage(kUpdater, files);
  ASSERT_TRUE(package.ok());
  const ContainerWriteResult container = MakeUpgradeContainer(package.bytes);
  ASSERT_TRUE(container.ok()) << container.error;

  Bytes buffer = container.container;
  PrependLe32Length(buffer);
  const UpgradeProgram program = ReadUpgradeProgram(buffer);
  ASSERT_EQ(program.result, UpgradeWritten);
  EXPECT_EQ(program.bytes, package.bytes);

  // Its two records, by name.
  Bytes body = container.container;
  UnscrambleBody(body.data() + kContainerHeaderSize, body.size() - kContainerHeaderSize);
  std::vector<std::pair<int, std::string>> records;
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(body, offset);) {
    const auto record = NextRecord(body, offset);
    ASSERT_TRUE(record);
    records.emplace_back(record->kind, record->name);
    offset += record->size;
  }
  EXPECT_EQ(records, (std::vector<std::pair<int, std::string>>{
                         {kRecordFolder, "\\PSPKVX"}, {kRecordFile, "\\PSPKVX\\upgrade"}}));
}

}  // namespace
}  // namespace pspkvx
