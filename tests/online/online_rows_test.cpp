#include <gtest/gtest.h>

#include <string>

#include "base/StringTable.h"
#include "online/OnlineRows.h"
#include "online/ServiceTags.h"
#include "ui/OnlineRowText.h"

namespace pspkvx {
namespace {

ReplyRecord Record(std::vector<std::pair<std::string, std::string>> fields) {
  return ReplyRecord{std::move(fields)};
}

TEST(OnlineRows, RegionTextsFromTheProductCode) {
  const std::pair<const char*, const char*> cases[] = {
      {"ULUS10041", "US"},  {"ULES00151", "EUR"}, {"ULJM05001", "JAP"}, {"ULJS00001", "JAP"},
      {"NPJH50001", "JAP"}, {"UCAS40001", "??"},  {"ULU", "??"},        {"", "??"},
  };
  for (const auto& [code, region] : cases)
    EXPECT_EQ(RegionText(code), region) << code;
}

TEST(OnlineRows, SizeTextsChangeFromKilobytesToMegabytesAt10240Bytes) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0 Kb"},         {1, "1 Kb"},       {1024, "1 Kb"},    {1025, "2 Kb"},
      {10239, "10 Kb"},    {10240, "0.01Mb"}, {10241, "0.01Mb"}, {2097152, "2.00Mb"},
      {3670016, "3.50Mb"}, {-5, "0 Kb"},
  };
  for (const auto& [bytes, text] : cases)
    EXPECT_EQ(SaveSizeText(bytes), text) << bytes;
}

TEST(OnlineRows, LetterIndexHasARowOnlyForCountsAboveZeroAndTwoSpacesForDigits) {
  FetchResult reply;
  reply.status = FetchOk;
  reply.entries = {{LetterBlockTag('A'), "12", TagBlock},
                   {LetterBlockTag('B'), "0", TagBlock},
                   {LetterBlockTag('C'), "none", TagBlock},
                   {LetterBlockTag('7'), " 3", TagBlock},
                   {LetterBlockTag('9'), "-2", TagBlock}};
  EXPECT_EQ(LetterIndexRows(reply), (std::vector<std::string>{"A (12)", "7  (3)"}));
  EXPECT_EQ(LetterIndexEmptyText(3), "There are currently no saves for the Corvanes section.");
  EXPECT_EQ(LetterIndexEmptyText(1),
            "There are currently no saves for games in the European region Corvanes section.");
}

TEST(OnlineRows, AGamesRowCleansTheNameAndKeepsItsSavesAddress) {
  const GameRowTexts row = GameRowOf(Record({{"<name>", "R&C <Size> #1 \xE9t\xE9"},
                                             {"<game_title_id>", "ULES00151"},
                                             {"<released>", "2006-01-01"},
                                             {"<png>", "http://s/png/x.png"},
                                             {"<url>", "http://s/saves.asp?game_id=4"}}));
  EXPECT_EQ(row.columns[GameColumnName], "R C  Size   1  t ");
  EXPECT_EQ(row.columns[GameColumnRegion], "EUR");
  EXPECT_EQ(row.columns[GameColumnUrl], "http://s/saves.asp?game_id=4");
  EXPECT_EQ(row.pictureAddress, "http://s/png/x.png");
  // A row without texts is chosen with "??" for each.
  const ChosenGame empty = ChosenGameOf(GameRowOf(Record({})).columns);
  EXPECT_EQ(empty.name, "??");
  EXPECT_EQ(empty.code, "??");
  EXPECT_EQ(empty.region, "??");
}

TEST(OnlineRows, ASavesRowTakesTheChosenGameAndReadsItsNumbers) {
  ChosenGame game;
  game.name = "Blaze Quest";
  game.code = "ULJM05006";
  game.pictureKey = "ULJM05006.png";
  const SaveRowTexts row = SaveRowOf(Record({{"<name>", "New game plus"},
                                             {"<description>", "unused"},
                                             {"<save_filesize>", "2097152"},
                                             {"<save_id>", "13"},
                                             {"<rating>", "85"},
                                             {"<votes>", "12"},
                                             {"<posted>", "2007-07-19"},
                                             {"<url>", "http://s/savedesc.asp?save_id=13"}}),
                                     game);
  const auto& c = row.columns;
  EXPECT_EQ(c[OnlineSaveTitle], "New game plus  (2.00Mb)");
  EXPECT_EQ(c[OnlineSaveDescription], "");
  EXPECT_EQ(c[OnlineSaveGame], "Blaze Quest (JAP)");
  EXPECT_EQ(c[OnlineSaveCode], "ULJM05006");
  EXPECT_EQ(c[OnlineSaveAuthor], "<unknown!>");
  EXPECT_EQ(c[OnlineSaveRating], "85 12");
  EXPECT_EQ(c[OnlineSavePictureKey], "ULJM05006.png");
  EXPECT_EQ(row.saveId, 13);
  EXPECT_EQ(row.bytes, 2097152);
  EXPECT_EQ(VoteText(c[OnlineSaveRating]), "85% (12 votes)");
  EXPECT_EQ(VoteText("100 1"), "100% (1 vote)");

  const SaveRowTexts author = SaveRowOf(Record({{"<author>", std::string(300, 'a')}}), game);
  EXPECT_EQ(author.columns[OnlineSaveAuthor], std::string(255, 'a'));
}

TEST(OnlineRows, EmptyListTextsByTheRequestsStatus) {
  EXPECT_EQ(GamesEmptyText(FetchOk, 'Q'), StringOf(IDS_NO_SAVES_FOR_LETTER) + " \"Q\".");
  for (const int status : {FetchOpenFailed, FetchParseFailed}) {
    EXPECT_EQ(GamesEmptyText(status, 'Q'), StringOf(IDS_PAGE_LOAD_FAILED));
    EXPECT_EQ(SavesEmptyText(status), StringOf(IDS_PAGE_LOAD_FAILED));
  }
  for (const int status : {FetchException, FetchNoMemory, FetchStopped}) {
    EXPECT_EQ(GamesEmptyText(status, 'Q'), StringOf(IDS_SERVER_DOWN));
    EXPECT_EQ(SavesEmptyText(status), StringOf(IDS_SERVER_DOWN));
  }
  EXPECT_EQ(SavesEmptyText(FetchOk), StringOf(IDS_NO_SAVES_FOR_GAME));
}

}  // namespace
}  // namespace pspkvx
