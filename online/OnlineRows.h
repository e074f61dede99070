// The rows of the online browser's list, made from the service's replies: the letter index, the
// games of a letter and the saves of a game, with the texts the rows show (regions, sizes) and
// the line the list shows when a reply brings no rows. GUI-free and without state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "online/TagTable.h"
#include "online/TagTableFetcher.h"

namespace pspkvx {

// The columns of a games row. Column 0 is the picture's place; the picture itself travels with
// the row. The game's saves-list address is kept beside the key so that a click takes the saves
// of the game it was on.
enum GameColumn : size_t {
  GameColumnPicture = 0,
  GameColumnName = 1,
  GameColumnCode = 2,
  GameColumnRegion = 3,
  GameColumnReleased = 4,
  GameColumnPictureKey = 5,
  GameColumnUrl = 6,
  kGameColumns = 7,
};

// The columns of a saves row.
enum OnlineSaveColumn : size_t {
  OnlineSavePicture = 0,
  OnlineSaveTitle = 1,
  OnlineSaveDescription = 2,
  OnlineSaveGame = 3,
  OnlineSaveCode = 4,
  OnlineSaveAuthor = 5,
  OnlineSavePosted = 6,
  OnlineSaveRating = 7,
  OnlineSavePictureKey = 8,
  OnlineSaveUrl = 9,
  OnlineSaveId = 10,
  OnlineSaveBytes = 11,
  kOnlineSaveColumns = 12,
};

// The region of the service's lists (OnlineRegion): 0 USA, 1 European, 2 Japanese, 3 none.
inline constexpr int kRegionNone = 3;
inline constexpr char kSectionName[] = "Corvanes";

// "US", "EUR" or "JAP" from a product code's third and fourth characters; "??" otherwise.
std::string RegionText(const std::string& productCode);
// A game name fit for the list: "&", "%", "<", ">", "#" and every byte of 128 or more become a
// space.
std::string CleanGameName(const std::string& name);
// A save's size as its row shows it: "0.01Mb" from 10240 bytes on, "10 Kb" below.
std::string SaveSizeText(int64_t bytes);

// The addresses of the three lists: the letter index of the official section, the games of an
// initial, the saves of a game (its "<url>"). counter is the request's "&rnd=" value.
std::string LetterIndexAddress(const std::string& indexUrl, int region);
std::string GamesListAddress(const std::string& gamesUrl, int region, char letter,
                             unsigned counter);
std::string SavesListAddress(const std::string& gameUrl, unsigned counter);

// The letter index: "A (12)" for a letter, "7  (3)" for a digit, for every initial whose block
// in the reply's values holds a number above 0.
std::vector<std::string> LetterIndexRows(const FetchResult& reply);
// The line of an empty letter index for the region.
std::string LetterIndexEmptyText(int region);

// What the browser keeps of the game the user chose.
struct ChosenGame {
  std::string name = "??";
  std::string code = "??";
  std::string region = "??";
  std::string pictureKey;
  std::string url;  // its saves-list address; empty when the row had none
};

struct GameRowTexts {
  std::vector<std::string> columns;  // kGameColumns texts
  std::string pictureAddress;        // the "<png>" address, empty when none
};
GameRowTexts GameRowOf(const ReplyRecord& record);
// The chosen game of a games row's texts ("??" for an empty text).
ChosenGame ChosenGameOf(const std::vector<std::string>& gameColumns);

// A save's row: its texts and the numbers behind them.
struct SaveRowTexts {
  std::vector<std::string> columns;  // kOnlineSaveColumns texts
  int64_t saveId = 0;
  int64_t bytes = 0;
};
SaveRowTexts SaveRowOf(const ReplyRecord& record, const ChosenGame& game);

// A save of the saves list as its download takes it: copied from the row under the list's lock
// when the download starts, so that a list rebuilt meanwhile cannot change it.
struct OnlineSaveChoice {
  size_t row = 0;
  std::string game;  // the game label
  std::string url;   // the save's description address
  int64_t saveId = 0;
  int64_t bytes = 0;
};

// The line of an empty games list (after a request for the letter) or saves list, by the
// request's status.
std::string GamesEmptyText(int status, char letter);
std::string SavesEmptyText(int status);

}  // namespace pspkvx
