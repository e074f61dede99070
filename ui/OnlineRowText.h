// How the online list draws a row: the lines of text beside its picture, with the field
// captions, and the rating column as the vote text.
#pragma once

#include <string>
#include <vector>

#include "ui/ListModel.h"

namespace pspkvx {

// "85% (12 votes)" from a rating column ("<rating> <votes>"); "1 vote" for one; the text as it
// is when it holds no rating.
std::string VoteText(const std::string& ratingColumn);

// The lines of a letter-index row (one), a games row or a saves row (four each); the first is
// the row's title.
std::vector<std::string> OnlineRowLines(const ListRow& row);

// The lines of a PSP save in the online page's right pane: its title, folder, date and size.
std::vector<std::string> PspSaveLines(const ListRow& row);

}  // namespace pspkvx
