#include "online/OnlineRows.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/Numbers.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "online/ServiceTags.h"

namespace pspkvx {
namespace {

constexpr int64_t kMegabyte = 1048576;
constexpr int64_t kFirstMegabyteSize = 10240;
constexpr size_t kAuthorLimit = 255;

std::string Field(const ReplyRecord& record, const char* name) {
  return RecordField(record, name).value_or(std::string());
}

std::string OrUnknown(const std::string& text) {
  return text.empty() ? std::string("??") : text;
}

}  // namespace

std::string RegionText(const std::string& productCode) {
  if (productCode.size() >= 4 && productCode.compare(2, 2, "US") == 0) return "US";
  if (productCode.size() >= 4 && productCode.compare(2, 2, "ES") == 0) return "EUR";
  if (productCode.size() >= 3 && productCode[2] == 'J') return "JAP";
  return "??";
}

std::string CleanGameName(const std::string& name) {
  std::string clean = name;
  for (char& c : clean) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 128 || c == '&' || c == '%' || c == '<' || c == '>' || c == '#') c = ' ';
  }
  return clean;
}

std::string SaveSizeText(int64_t bytes) {
  bytes = std::max<int64_t>(bytes, 0);
  if (bytes >= kFirstMegabyteSize) {
    // In single precision, as the list has always shown it: a size that is not a whole number
    // of hundredths is rounded up by a hundredth.
    float megabytes = static_cast<float>(bytes) / static_cast<float>(kMegabyte);
    if (megabytes * static_cast<float>(kMegabyte) < static_cast<float>(bytes)) megabytes += 0.01f;
    char text[64];
    std::snprintf(text, sizeof text, "%2.2fMb", static_cast<double>(megabytes));
    return text;
  }
  return std::to_string((bytes + 1023) / 1024) + " Kb";
}

std::string LetterIndexAddress(const std::string& indexUrl, int region) {
  return indexUrl + "corvane=1&region_id=" + std::to_string(region);
}

std::string GamesListAddress(const std::string& gamesUrl, int region, char letter,
                             unsigned counter) {
  return gamesUrl + "region_id=" + std::to_string(region) + "&az=" + letter +
         "&rnd=" + std::to_string(counter);
}

std::string SavesListAddress(const std::string& gameUrl, unsigned counter) {
  return gameUrl + "&rnd=" + std::to_string(counter);
}

std::vector<std::string> LetterIndexRows(const FetchResult& reply) {
  std::vector<std::string> rows;
  for (const char* initial = kIndexInitials; *initial; ++initial) {
    const int64_t count = ScanInteger(reply.Value(LetterBlockTag(*initial)));
    if (count <= 0) continue;
    const bool digit = std::isdigit(static_cast<unsigned char>(*initial)) != 0;
    rows.push_back(std::string(1, *initial) + (digit ? "  (" : " (") + std::to_string(count) + ")");
  }
  return rows;
}

std::string LetterIndexEmptyText(int region) {
  static constexpr const char* kRegionNames[] = {"USA", "European", "Japanese"};
  if (region >= 0 && region < kRegionNone)
    return FormatString(IDS_NO_SAVES_REGION_SECTION, {kRegionNames[region], kSectionName});
  return FormatString(IDS_NO_SAVES_SECTION, {kSectionName});
}

GameRowTexts GameRowOf(const ReplyRecord& record) {
  GameRowTexts row;
  row.columns.resize(kGameColumns);
  row.pictureAddress = Field(record, "<png>");
  row.columns[GameColumnName] = CleanGameName(Field(record, "<name>"));
  row.columns[GameColumnCode] = Field(record, "<game_title_id>");
  row.columns[GameColumnRegion] = RegionText(row.columns[GameColumnCode]);
  row.columns[GameColumnReleased] = Field(record, "<released>");
  row.columns[GameColumnUrl] = Field(record, "<url>");
  return row;
}

ChosenGame ChosenGameOf(const std::vector<std::string>& gameColumns) {
  auto column = [&](size_t index) {
    return index < gameColumns.size() ? gameColumns[index] : std::string();
  };
  ChosenGame game;
  game.name = OrUnknown(column(GameColumnName));
  game.code = OrUnknown(column(GameColumnCode));
  game.region = OrUnknown(column(GameColumnRegion));
  game.pictureKey = column(GameColumnPictureKey);
  game.url = column(GameColumnUrl);
  return game;
}

SaveRowTexts SaveRowOf(const ReplyRecord& record, const ChosenGame& game) {
  SaveRowTexts row;
  row.columns.resize(kOnlineSaveColumns);
  const std::optional<std::string> author = RecordField(record, "<author>");
  row.columns[OnlineSaveAuthor] = author ? author->substr(0, kAuthorLimit) : "<unknown!>";
  row.columns[OnlineSaveRating] = Field(record, "<rating>") + " " + Field(record, "<votes>");
  row.bytes = ScanInteger(Field(record, "<save_filesize>"));
  row.columns[OnlineSaveTitle] = Field(record, "<name>") + "  (" + SaveSizeText(row.bytes) + ")";
  row.columns[OnlineSavePosted] = Field(record, "<posted>");
  row.columns[OnlineSaveUrl] = Field(record, "<url>");
  row.saveId = ScanInteger(Field(record, "<save_id>"));
  row.columns[OnlineSaveId] = std::to_string(row.saveId);
  row.columns[OnlineSaveBytes] = std::to_string(row.bytes);
  const std::string description = Field(record, "<description>");
  row.columns[OnlineSaveDescription] = description == "unused" ? std::string() : description;
  const std::string region = RegionText(game.code);
  row.columns[OnlineSaveGame] =
      CleanGameName(region == "??" ? game.name : game.name + " (" + region + ")");
  row.columns[OnlineSaveCode] = game.code;
  row.columns[OnlineSavePictureKey] = game.pictureKey;
  return row;
}

std::string GamesEmptyText(int status, char letter) {
  if (status == FetchOk) return StringOf(IDS_NO_SAVES_FOR_LETTER) + " \"" + letter + "\".";
  if (status == FetchOpenFailed || status == FetchParseFailed)
    return StringOf(IDS_PAGE_LOAD_FAILED);
  return StringOf(IDS_SERVER_DOWN);
}

std::string SavesEmptyText(int status) {
  if (status == FetchOk) return StringOf(IDS_NO_SAVES_FOR_GAME);
  if (status == FetchOpenFailed || status == FetchParseFailed)
    return StringOf(IDS_PAGE_LOAD_FAILED);
  return StringOf(IDS_SERVER_DOWN);
}

}  // namespace pspkvx
