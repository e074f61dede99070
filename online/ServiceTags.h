// The tags the main window registers in its TagTable, after the table's own: the record fields,
// the seventeen settings keys of the service's settings page, and the 36 letter blocks. The
// reference service builds its replies from the same names.
#pragma once

#include <array>
#include <string>

#include "online/TagTable.h"

namespace pspkvx {

// "<posted>" stands twice, as the window has always registered it; only the first is matched.
inline constexpr std::array<const char*, 17> kRecordFieldTags = {
    "<name>",          "<url>",     "<description>", "<png>",           "<game_title_id>",
    "<released>",      "<save_id>", "<author>",      "<code_title_id>", "<posted>",
    "<save_filesize>", "<rating>",  "<posted>",      "<download_url>",  "<download_size>",
    "<game_name>",     "<votes>"};

// The settings keys of the service's settings page, in the order they are registered. The
// client and the reference service both name them through this table.
enum SettingsKey : size_t {
  SettingSavesUrl,
  SettingUploadUrl,
  SettingVersionUrl,
  SettingPspTsVersionUrl,
  SettingCorvanesUrl,  // its having a value is the sign that the settings are loaded
  SettingCorvanesTsUrl,
  SettingCommunityUrl,
  SettingCommunityUserUrl,
  SettingCommunityUserGameUrl,
  SettingRegistrationUrl,
  SettingDeleteSaveUrl,
  SettingPngUrl,
  SettingRatingsUrl,
  SettingResult,
  SettingCheckUserUrl,
  SettingNumGamesListUrl,
  SettingAlphaKavexUrl,  // the letter index
  kSettingsKeyCount,
};

inline constexpr std::array<const char*, kSettingsKeyCount> kSettingsKeys = {
    "SAVES_URL",
    "UPLOAD_URL",
    "VERSION_URL",
    "PSP_TS_VERSION_URL",
    "CORVANES_URL",
    "CORVANES_TS_URL",
    "COMMUNITY_URL",
    "COMMUNITY_USER_URL",
    "COMMUNITY_USER_GAME_URL",
    "REGISTRATION_URL",
    "DELETE_SAVE_URL",
    "PNG_URL",
    "RATINGS_URL",
    "RESULT",
    "CHECK_USER_URL",
    "NUM_GAMES_LIST_URL",
    "ALPHA_KAVEX_URL",
};

// The 36 initials of the letter index in their order: A to Z, then 0 to 9.
inline constexpr char kIndexInitials[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// "<CHAR_A>" with the initial in place of A.
std::string LetterBlockTag(char initial);

// Registers the fields, the keys and the letter blocks, in that order.
void RegisterServiceTags(TagTable& table);

}  // namespace pspkvx
