#include "ui/OnlineRowText.h"

#include <cstdlib>

#include "base/Numbers.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "online/OnlineRows.h"
#include "ui/SaveListRows.h"

namespace pspkvx {
namespace {

std::string Captioned(int caption, const std::string& value) {
  return StringOf(caption) + " " + value;
}

}  // namespace

std::string VoteText(const std::string& ratingColumn) {
  const size_t space = ratingColumn.find(' ');
  if (space == std::string::npos || space == 0 || space + 1 >= ratingColumn.size())
    return ratingColumn;
  const std::string rating = ratingColumn.substr(0, space);
  char* end = nullptr;
  const double percent = std::strtod(rating.c_str(), &end);
  if (end != rating.c_str() + rating.size()) return ratingColumn;
  const int64_t votes = ScanInteger(ratingColumn.substr(space + 1));
  return FormatString(votes == 1 ? IDS_ONE_VOTE : IDS_VOTES, {percent, votes});
}

std::vector<std::string> OnlineRowLines(const ListRow& row) {
  const std::vector<std::string>& c = row.columns;
  if (c.size() == kGameColumns)
    return {c[GameColumnName], Captioned(IDS_CAPTION_GAME_ID, c[GameColumnCode]),
            Captioned(IDS_CAPTION_REGION, c[GameColumnRegion]),
            Captioned(IDS_CAPTION_UPDATED, c[GameColumnReleased])};
  if (c.size() == kOnlineSaveColumns) {
    const std::string votes = VoteText(c[OnlineSaveRating]);
    return {c[OnlineSaveTitle],
            c[OnlineSaveDescription].empty() ? Captioned(IDS_CAPTION_GAME, c[OnlineSaveGame])
                                             : c[OnlineSaveDescription],
            Captioned(IDS_CAPTION_BY, c[OnlineSaveAuthor]) +
                (votes.empty() ? std::string() : "   " + votes),
            Captioned(IDS_CAPTION_UPDATED, c[OnlineSavePosted])};
  }
  return {c.empty() ? std::string() : c[0]};
}

std::vector<std::string> PspSaveLines(const ListRow& row) {
  const auto column = [&](size_t index) {
    return index < row.columns.size() ? row.columns[index] : std::string();
  };
  return {column(SaveColumnTitle), column(SaveColumnFolder),
          column(SaveColumnDate) + "   " + column(SaveColumnSize)};
}

}  // namespace pspkvx
