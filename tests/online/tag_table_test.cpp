#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "online/ServiceTags.h"
#include "online/TagTable.h"

namespace pspkvx {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// A table registered as the main window registers it.
std::unique_ptr<TagTable> ServiceTable() {
  auto table = std::make_unique<TagTable>();
  RegisterServiceTags(*table);
  return table;
}

int Parse(TagTable& table, const std::string& reply) {
  return table.ParseReply(reply.c_str(), reply.size());
}

std::vector<Fields> RecordsOf(const TagTable& table) {
  std::vector<Fields> records;
  for (const ReplyRecord& record : table.Records())
    records.push_back(record.fields);
  return records;
}

std::string ValueOf(const TagTable& table, const std::string& name) {
  std::string value = "<not registered>";
  table.LookupTag(name, value);
  return value;
}

struct ReplyCase {
  const char* name;
  std::vector<std::string> replies;  // parsed one after the other into the same table
  int result;                        // of the last
  std::vector<Fields> records;       // of the last
  std::map<std::string, std::string> values;
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
  *os << c.name;
}

class ReplyCases : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyCases, ParseAsTheGrammarSays) {
  const ReplyCase& c = GetParam();
  auto table = ServiceTable();
  int result = 0;
  for (const std::string& reply : c.replies)
    result = Parse(*table, reply);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(RecordsOf(*table), c.records);
  for (const auto& [name, value] : c.values)
    EXPECT_EQ(ValueOf(*table, name), value) << name;
}

INSTANTIATE_TEST_SUITE_P(
    TagTable, ReplyCases,
    testing::Values(
        ReplyCase{"EmptyResult", {"<result></result>\n"}, 0, {}, {}},
        ReplyCase{
            "TwoFolderRecords",
            {"<result>\n<folder>\n<name>Astro Racer</name>\n<url>http://s/saves?game=1</url>\n"
             "</folder>\n<folder>\n<name>Blaze</name>\n<url>http://s/saves?game=2</url>\n"
             "</folder>\n</result>\n"},
            0,
            {{{"<name>", "Astro Racer"}, {"<url>", "http://s/saves?game=1"}},
             {{"<name>", "Blaze"}, {"<url>", "http://s/saves?game=2"}}},
            {}},
        ReplyCase{"OneLineRecord",
                  {"<save><name>Boss rush</name></save>\n"},
                  0,
                  {{{"<name>", "Boss rush"}}},
                  {}},
        ReplyCase{"RepeatedFieldMovesToTheEnd",
                  {"<save>\n<name>first</name>\n<url>u</url>\n<name>second</name>\n</save>\n"},
                  0,
                  {{{"<url>", "u"}, {"<name>", "second"}}},
                  {}},
        ReplyCase{"EntityKeptAsWritten",
                  {"<save><name>Tom &amp; Jerry</name></save>\n"},
                  0,
                  {{{"<name>", "Tom &amp; Jerry"}}},
                  {}},
        ReplyCase{"ContentKeptWithLineEnds",
                  {"<save><description>  two\nlines </description></save>\n"},
                  0,
                  {{{"<description>", "  two\nlines "}}},
                  {}},
        ReplyCase{"UnregisteredElementInsideRecordSkipped",
                  {"<save>\n<name>a</name>\n<extra>x <b>bold</b>\n</save> y</extra>\n<url>u</url>\n"
                   "</save>\n"},
                  0,
                  {{{"<name>", "a"}, {"<url>", "u"}}},
                  {}},
        ReplyCase{"HtmlPageRejected",
                  {"<!DOCTYPE html>\n<html><body><save><name>x</name></save></body></html>\n"},
                  -1,
                  {},
                  {}},
        ReplyCase{"HighBytesLeadingAKeyValueSkipped",
                  {"CORVANES_URL= \xA0\xFFhttp://s/c\xE9.asp?\n"},
                  0,
                  {},
                  {{"CORVANES_URL", "http://s/c\xE9.asp?"}}},
        ReplyCase{"LetterBlockKeptAcrossReplies",
                  {"<result>\n<CHAR_B>12</CHAR_B>\n</result>\n",
                   "<result>\n<CHAR_A>3</CHAR_A>\n</result>\n"},
                  0,
                  {},
                  {{"<CHAR_B>", "12"}, {"<CHAR_A>", "3"}}},
        ReplyCase{"ClosingRecordWithoutOpenRecordRejected",
                  {"<result>\n</save>\n<save><name>late</name></save>\n"},
                  -1,
                  {},
                  {}},
        ReplyCase{"EmptyReplyRejected", {""}, -1, {}, {}},
        ReplyCase{"WhiteSpaceOnlyFirstLineIsBlank",
                  {"  \t\n\n<result>\n<save><name>n</name></save>\n</result>\n"},
                  0,
                  {{{"<name>", "n"}}},
                  {}},
        ReplyCase{"FieldOutsideRecordSkippedWhole",
                  {"<result>\n<name>stray <save></name>\n<save><name>kept</name></save>\n"},
                  0,
                  {{{"<name>", "kept"}}},
                  {}},
        ReplyCase{"LessThanWithoutGreaterThanSteppedOver",
                  {"<result>\n<save>\n<<< a\n<name>n</name>\n</save>\n"},
                  0,
                  {{{"<name>", "n"}}},
                  {}},
        ReplyCase{"UnclosedUnknownElementSkipsTwiceItsLength",
                  {"<result>\n<save><zz>12<name>n</name></save>\n"},
                  0,
                  std::vector<Fields>(1),
                  {}},
        ReplyCase{"UnknownClosingTagSkipsOneMoreCharacter",
                  {"<result>\n<save></b>X<name>n</name></save>\n"},
                  0,
                  {{{"<name>", "n"}}},
                  {}},
        ReplyCase{
            "CommentAndKeysAmongRecords",
            {"// settings of the day\n<result>\nRESULT = OK  \n<file><download_url>d</download_url>"
             "</file>\n</result>\n"},
            0,
            {{{"<download_url>", "d"}}},
            {{"//", " settings of the day"}, {"RESULT", "OK  "}}},
        ReplyCase{"NulEndsTheText",
                  {std::string("<result>\n<save><name>a</name></save>\n\0<save>\n", 45)},
                  0,
                  {{{"<name>", "a"}}},
                  {}}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

TEST(TagTable, RegistersTheTableThenTheWindowsTagsInOrder) {
  auto table = ServiceTable();
  const std::vector<TagEntry> entries = table->Entries();
  ASSERT_EQ(entries.size(), 6u + 17u + 17u + 36u);
  const std::pair<size_t, std::pair<const char*, int>> expected[] = {
      {0, {"<result>", TagWrapper}},
      {1, {"<RESULT>", TagWrapper}},
      {2, {"<folder>", TagRecord}},
      {4, {"<file>", TagRecord}},
      {5, {"//", TagComment}},
      {6, {"<name>", TagField}},
      {15, {"<posted>", TagField}},
      {18, {"<posted>", TagField}},
      {22, {"<votes>", TagField}},
      {23, {"SAVES_URL", TagSetting}},
      {27, {"CORVANES_URL", TagSetting}},
      {39, {"ALPHA_KAVEX_URL", TagSetting}},
      {40, {"<CHAR_A>", TagBlock}},
      {65, {"<CHAR_Z>", TagBlock}},
      {66, {"<CHAR_0>", TagBlock}},
      {75, {"<CHAR_9>", TagBlock}},
  };
  for (const auto& [index, entry] : expected) {
    EXPECT_EQ(entries[index].tag, entry.first) << index;
    EXPECT_EQ(entries[index].kind, entry.second) << index;
    EXPECT_EQ(entries[index].value, "");
  }
  EXPECT_FALSE(table->RegisterTag("", TagWrapper));
  EXPECT_EQ(table->Entries().size(), entries.size());
}

TEST(TagTable, LookupTakesTheFirstEntryStartingWithTheName) {
  auto table = ServiceTable();
  ASSERT_EQ(Parse(*table, "CORVANES_URL=http://s/c?\nCORVANES_TS_URL=http://s/ts?\n"), 0);
  std::string value = "unchanged";
  EXPECT_FALSE(table->LookupTag("NO_SUCH_KEY", value));
  EXPECT_EQ(value, "unchanged");
  EXPECT_TRUE(table->LookupTag("CORVANES_URL", value));
  EXPECT_EQ(value, "http://s/c?");
  EXPECT_TRUE(table->LookupTag("CORVANES_T", value));
  EXPECT_EQ(value, "http://s/ts?");
  // An empty value is a value.
  EXPECT_TRUE(table->LookupTag("VERSION_URL", value));
  EXPECT_EQ(value, "");
}

TEST(TagTable, RecordAccessAndItsRefusals) {
  TagTable table;
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_EQ(table.RecordAt(0), nullptr);
  EXPECT_EQ(table.SetField(0, "<name>", "x"), -1);
  EXPECT_EQ(table.NewRecord(), 0);
  EXPECT_EQ(table.NewRecord(), 1);
  EXPECT_EQ(table.SetField(1, "<name>", "x"), 0);
  EXPECT_EQ(table.SetField(1, "<url>", "u"), 0);
  EXPECT_EQ(table.SetField(1, "<name>", "y"), 0);
  EXPECT_EQ(table.RecordAt(-1), nullptr);
  EXPECT_EQ(table.RecordAt(2), nullptr);
  const ReplyRecord* record = table.RecordAt(1);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->fields, (Fields{{"<url>", "u"}, {"<name>", "y"}}));
  std::string value = "unchanged";
  EXPECT_FALSE(table.FieldValue(record, "<NAME>", value));
  EXPECT_FALSE(table.FieldValue(nullptr, "<name>", value));
  EXPECT_EQ(value, "unchanged");
  EXPECT_TRUE(table.FieldValue(record, "<name>", value));
  EXPECT_EQ(value, "y");
  // A reply rebuilds the record list.
  EXPECT_EQ(Parse(table, "<result></result>\n"), 0);
  EXPECT_EQ(table.RecordCount(), 0);
}

TEST(TagTable, ValuesReadBeforeARejectionStay) {
  auto table = ServiceTable();
  EXPECT_EQ(Parse(*table, "<result>\nVERSION_URL=http://v/\n</folder>\nRESULT=late\n"), -1);
  EXPECT_EQ(ValueOf(*table, "VERSION_URL"), "http://v/");
  EXPECT_EQ(ValueOf(*table, "RESULT"), "");
}

// Readers count and walk the records while the worker parses replies into them.
TEST(TagTable, RecordListIsLockedForReadersDuringParsing) {
  auto table = ServiceTable();
  std::string reply = "<result>\n";
  for (int i = 0; i < 200; ++i)
    reply += "<save><name>n" + std::to_string(i) + "</name><url>u</url></save>\n";
  std::atomic<bool> done{false};
  std::thread parser([&] {
    for (int i = 0; i < 50; ++i)
      Parse(*table, reply);
    done = true;
  });
  while (!done) {
    EXPECT_LE(table->RecordCount(), 200);
    for (const ReplyRecord& record : table->Records())
      EXPECT_LE(record.fields.size(), 2u);
  }
  parser.join();
  EXPECT_EQ(table->RecordCount(), 200);
}

}  // namespace
}  // namespace pspkvx
