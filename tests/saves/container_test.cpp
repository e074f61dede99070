#include <gtest/gtest.h>

#include "saves/ContainerScramble.h"
#include "saves/SaveContainer.h"
#include "saves/container_fixture.h"

namespace pspkvx {
namespace {

using test::Bytes;

TEST(CheckContainer, AcceptsVersionsUpToItsOwnAndRefusesNewerOnes) {
  struct Case {
    const char* magic;
    int expected;
  };
  for (const Case c :
       {Case{"PSPSAVE001", kContainerValid}, Case{"PSPSAVE000", kContainerValid},
        Case{"PSPSAVE002", kContainerNewerVersion}, Case{"PSPSAVE010", kContainerNewerVersion},
        Case{"PSPSAVE100", kContainerNewerVersion}, Case{"PSPSAVF001", kContainerNotAContainer},
        Case{"pspsave001", kContainerNotAContainer}}) {
    Bytes plain = test::PlainHeader(u"A Game", c.magic);
    test::AppendFolder(plain, "\\SAVE01");
    const Bytes sealed = test::Sealed(plain);
    Bytes container = sealed;
    EXPECT_EQ(CheckContainer(container), c.expected) << c.magic;
    // Refused before the checksum: the body is left as it came.
    if (c.expected != kContainerValid)
      EXPECT_EQ(container, sealed) << c.magic;
    else
      EXPECT_EQ(container, test::Summed(plain)) << c.magic << ": the body is left unscrambled";
  }
}

TEST(CheckContainer, BytesShorterThanAHeaderAreNotAContainer) {
  const Bytes header = test::PlainHeader();
  for (size_t size : {0u, 4u, 10u, 11u, 14u, 4415u}) {
    Bytes bytes(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_EQ(CheckContainer(bytes), kContainerNotAContainer) << size << " bytes";
  }
  Bytes headerOnly = test::Sealed(header);
  EXPECT_EQ(CheckContainer(headerOnly), kContainerValid);
}

TEST(CheckContainer, OneChangedByteAfterOffsetThreeFailsTheChecksum) {
  const Bytes sealed = test::Sealed(test::PlainSave());
  struct Case {
    size_t offset;
    uint8_t value;  // XORed into the byte
    const char* where;
  };
  for (const Case c : {Case{0, 0x01, "the stored checksum"}, Case{3, 0x80, "the stored checksum"},
                       Case{13, 0x01, "the version digit, 1 to 0"}, Case{14, 0x20, "the title"},
                       Case{2000, 0x01, "the unused header"},
                       Case{kContainerHeaderSize - 1, 0x01, "the last header byte"},
                       Case{kContainerHeaderSize, 0x01, "the first body byte"},
                       Case{kContainerHeaderSize + 700, 0x10, "a record name"},
                       Case{sealed.size() - 1, 0xFF, "the last byte"}}) {
    Bytes container = sealed;
    container[c.offset] ^= c.value;
    EXPECT_EQ(CheckContainer(container), kContainerChecksumMismatch) << c.where;
  }
}

TEST(ContainerInBuffer, TakesTheLengthPrefixedBytesOnlyWhenTheyAreThere) {
  Bytes buffer = {5, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f'};
  const auto inside = ContainerInBuffer(buffer);
  ASSERT_TRUE(inside);
  EXPECT_EQ(Bytes(inside->begin(), inside->end()), Bytes({'a', 'b', 'c', 'd', 'e'}));
  Bytes tooLong = {7, 0, 0, 0, 'a', 'b'};
  EXPECT_FALSE(ContainerInBuffer(tooLong));
  Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 'a'};
  EXPECT_FALSE(ContainerInBuffer(huge));
  Bytes cut = {1, 0};
  EXPECT_FALSE(ContainerInBuffer(cut));
}

TEST(NextRecord, ReadsFolderAndFileRecords) {
  Bytes c = test::PlainHeader();
  test::AppendFolder(c, "\\SAVE01");
  test::AppendFile(c, "\\SAVE01\\DATA.BIN", "xyz");
  const auto folder = NextRecord(c, kContainerHeaderSize);
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->kind, kRecordFolder);
  EXPECT_EQ(folder->name, "\\SAVE01");
  EXPECT_TRUE(folder->nameTerminated);
  EXPECT_EQ(folder->size, 521u);
  EXPECT_EQ(folder->length, 0u);
  const auto file = NextRecord(c, kContainerHeaderSize + folder->size);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->kind, kRecordFile);
  EXPECT_EQ(file->name, "\\SAVE01\\DATA.BIN");
  EXPECT_EQ(file->length, 3u);
  EXPECT_EQ(file->size, 528u);
  EXPECT_EQ(std::string(file->data.begin(), file->data.end()), "xyz");
  EXPECT_EQ(kContainerHeaderSize + folder->size + file->size, c.size());
}

TEST(NextRecord, KeepsTheLowByteOfEachCharacterUpToTheNul) {
  Bytes c = test::PlainHeader();
  // U+3042 keeps 0x42 ('B'); the NUL ends the name even though characters follow it.
  test::AppendRecord(c, kRecordFolder, std::u16string(u"\\A\u3042C") + u'\0' + u"junk");
  const auto record = NextRecord(c, kContainerHeaderSize);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->name, "\\ABC");

  Bytes full = test::PlainHeader();
  test::AppendRecord(full, kRecordFolder, std::u16string(260, u'x'));
  const auto unterminated = NextRecord(full, kContainerHeaderSize);
  ASSERT_TRUE(unterminated);
  EXPECT_FALSE(unterminated->nameTerminated);
  EXPECT_EQ(unterminated->name.size(), 260u);
}

TEST(NextRecord, NeverReadsPastTheEnd) {
  Bytes whole = test::PlainHeader();
  test::AppendFile(whole, "\\SAVE01\\DATA.BIN", std::string(40, 'd'));
  // Every cut of the record, from its kind byte alone to one byte short of its data.
  for (size_t size = kContainerHeaderSize; size < whole.size(); ++size) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(NextRecord(cut, kContainerHeaderSize)) << size - kContainerHeaderSize;
  }
  for (uint32_t length : {41u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    Bytes lying = test::PlainHeader();
    test::AppendRecord(lying, kRecordFile, u"\\SAVE01\\DATA.BIN", std::string(40, 'd'), length);
    EXPECT_FALSE(NextRecord(lying, kContainerHeaderSize)) << "length " << length;
  }
  EXPECT_FALSE(NextRecord(whole, whole.size()));
  EXPECT_FALSE(NextRecord(whole, SIZE_MAX));
}

TEST(NextRecord, ReadsARecordOfUnknownKindAsANameOnly) {
  Bytes c = test::PlainHeader();
  test::AppendRecord(c, 2, u"\\OLD");
  const auto record = NextRecord(c, kContainerHeaderSize);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->kind, 2);
  EXPECT_EQ(record->length, 0u);
  EXPECT_EQ(record->size, 521u);
  EXPECT_EQ(record->name, "\\OLD");
}

TEST(ContainerTitle, ReadsUtf16UpToItsNul) {
  struct Case {
    std::u16string title;
    std::string expected;
  };
  for (const Case& c : {Case{u"Ridge Racer", "Ridge Racer"},
                        Case{u"\u30EA\u30C3\u30B8", "\xE3\x83\xAA\xE3\x83\x83\xE3\x82\xB8"},
                        Case{u"\U0001F3AE pad", "\xF0\x9F\x8E\xAE pad"},
                        Case{std::u16string(u"a") + char16_t(0xD800) + u"b",
                             "a\xEF\xBF\xBD"
                             "b"},
                        Case{u"", ""}}) {
    const Bytes header = test::PlainHeader(c.title);
    EXPECT_EQ(ContainerTitle(std::span<const uint8_t, kContainerHeaderSize>(header.data(),
                                                                            kContainerHeaderSize)),
              c.expected);
  }
  // A title that fills the header without a NUL ends with the header.
  Bytes header = test::PlainHeader(std::u16string((kContainerHeaderSize - 14) / 2, u'z'));
  EXPECT_EQ(ContainerTitle(std::span<const uint8_t, kContainerHeaderSize>(header.data(),
                                                                          kContainerHeaderSize)),
            std::string((kContainerHeaderSize - 14) / 2, 'z'));
}

TEST(LastNameComponent, TakesTheTextAfterTheLastSeparator) {
  EXPECT_EQ(LastNameComponent("\\SAVE01"), "SAVE01");
  EXPECT_EQ(LastNameComponent("\\A\\B/C"), "C");
  EXPECT_EQ(LastNameComponent("X:Y"), "Y");
  EXPECT_EQ(LastNameComponent("plain"), "plain");
  EXPECT_EQ(LastNameComponent("\\A\\"), "");
}

}  // namespace
}  // namespace pspkvx
