// The program's string table: every user-facing text under its number. GUI-free; the window,
// the dialogs and the workers all take their texts from here.
#pragma once

#include <string>
#include <vector>

namespace pspkvx {

enum StringId : int {
  IDS_APP_TITLE = 1,
  IDS_MINIMIZE = 3,
  IDS_WIDE_SCREEN = 7,
  IDS_NORMAL_SCREEN = 8,
  IDS_BROWSER_FAILED = 13,
  IDS_ABOUT_TEXT = 15,
  IDS_OPEN_FILE_FAILED = 20,
  IDS_VOTES = 25,
  IDS_MAXIMIZE = 26,
  IDS_RESTORE = 27,
  IDS_SIZE = 28,
  IDS_ONE_VOTE = 29,
  IDS_ENTER_GROUP_NAME = 37,
  IDS_EDIT_FILE_NAME = 38,
  IDS_EDIT_GROUP_NAME = 39,
  IDS_FILE_NAME_EXISTS = 43,
  IDS_FOLDER_NAME_EXISTS = 44,
  IDS_SAVE_FOR_NEWER_VERSION = 49,
  IDS_SAVE_CORRUPT = 51,
  IDS_OK = 52,
  IDS_CANNOT_CREATE_ON_STICK = 54,
  IDS_REMOVE_GROUP_QUESTION = 56,
  IDS_CHECK_UPDATES_QUESTION = 57,
  IDS_NEW_VERSION_DOWNLOADING = 58,
  IDS_CHECKING_FOR_UPDATES = 59,
  IDS_NO_NEW_UPDATES = 60,
  IDS_UPGRADE_FAILED = 61,
  IDS_DOWNLOAD_FINISHED = 62,
  IDS_CANNOT_CREATE_FILE = 63,
  IDS_SAVE_CHECKSUM_FAILED = 64,
  IDS_DOWNLOAD_CANCELLED = 66,
  IDS_CURRENT_VERSION = 67,
  IDS_MAKING_VIDEO_ICON = 69,
  IDS_SAVE_EXISTS_OVERWRITE = 71,
  IDS_COPYING_TO_PSP = 72,
  IDS_FILE_EXISTS_OVERWRITE = 73,
  IDS_STICK_FULL_COPY_FAILED = 74,
  IDS_CONVERTING_VIDEO = 75,
  IDS_PSP_HELP_INTRO = 76,
  IDS_PSP_HELP_STEP1 = 77,
  IDS_PSP_HELP_STEP2 = 78,
  IDS_PSP_HELP_STEP3 = 79,
  IDS_PSP_HELP_STEP4 = 80,
  IDS_PSP_HELP_STEP5 = 81,
  IDS_PSP_HELP_STEP6 = 82,
  IDS_PSP_HELP_STEP7 = 83,
  IDS_VIDEO_UNSUPPORTED = 84,
  IDS_UPDATE_LOOKUP_FAILED = 85,
  IDS_DESTINATION_EXISTS = 86,
  IDS_OVERWRITE = 87,
  IDS_RENAME = 88,
  IDS_SKIP = 89,
  IDS_ADD_TO_LIST = 91,
  IDS_QUALITY_VERY_LOW = 92,
  IDS_QUALITY_LOW = 93,
  IDS_QUALITY_MEDIUM = 94,
  IDS_QUALITY_HIGH = 95,
  IDS_QUALITY_VERY_HIGH = 96,
  IDS_QUALITY_MAXIMUM = 97,
  IDS_AVC_NOTICE = 103,
  IDS_NORMAL_MPEG4 = 104,
  IDS_AVC = 105,
  IDS_MORE_INFO = 107,
  IDS_PHOTO_STRAIGHT_COPY = 108,
  IDS_PHOTO_RESCALE = 109,
  IDS_CONVERTING_IMAGE = 111,
  IDS_IMAGE_UNSUPPORTED = 113,
  IDS_PHOTO_STRETCH = 114,
  IDS_PHOTO_CLIP = 115,
  IDS_CLOSING = 139,
  IDS_SAVE_DOWNLOADED = 141,
  IDS_NO_SAVES_REGION_SECTION = 143,
  IDS_NO_SAVES_SECTION = 145,
  IDS_NO_SAVES_FOR_LETTER = 152,
  IDS_RECEIVING_GAME_LIST = 153,
  IDS_LOOKING_FOR_SAVES = 160,
  IDS_NO_SAVES_FOR_USER = 171,
  IDS_CANNOT_READ_SERVER = 174,
  IDS_SERVER_NOT_FUNCTIONING = 175,
  IDS_CONNECTION_PROBLEM = 176,
  IDS_CONNECTING = 177,
  IDS_VERSION_AVAILABLE = 178,
  IDS_NO_SAVES_FOR_GAME = 179,
  IDS_SAVE_FILE_MISSING = 180,
  IDS_PAGE_LOAD_FAILED = 184,
  IDS_SERVER_DOWN = 185,
  IDS_RECEIVING_SAVES_LIST = 187,
  IDS_DOWNLOADING_SAVE = 197,
  IDS_SAVE_DOWNLOAD_FAILED = 198,
  IDS_SAVE_EXISTS_ON_PSP = 199,
  IDS_NOT_ENOUGH_SPACE = 203,

  // PSP link and memory stick (1000-1099).
  IDS_PSP_READY_ON_DRIVE = 1000,
  IDS_PSP_NOT_PRESENT_ON_DRIVE = 1001,
  IDS_CONNECT_PSP_VIA_USB = 1002,
  IDS_SEARCHING_FOR_PSP = 1003,
  IDS_FREE_SPACE = 1004,
  IDS_STICK_WRITE_FAILED = 1005,
  IDS_STICK_OUT_OF_SPACE = 1006,
  IDS_STICK_UNKNOWN_WRITE_ERROR = 1007,
  IDS_VIDEO_NAMES_EXHAUSTED = 1008,
  IDS_DELETE_FROM_PSP = 1009,
  // Saves on the stick: discovery, install and removal (1100-1149).
  IDS_NO_SAVES_ON_PSP = 1100,
  IDS_NO_PSP_DETECTED = 1101,
  IDS_DELETE_ENTIRE_SAVE = 1102,
  IDS_COULD_NOT_DELETE_FOLDER = 1103,
  IDS_COULD_NOT_DELETE_FILE = 1104,
  IDS_SAVE_NOT_REPLACED = 1105,
  // 1150-1199: texts of the save container that have no number of their own.
  IDS_SAVE_OLD_BETA_STYLE = 1150,

  // Online service texts without a number of their own (1200-1299).
  IDS_NO_ONLINE_SERVER = 1200,
  IDS_INTERNET_NOT_WORKING = 1201,

  // Main window texts without a number of their own (1300-1399).
  IDS_CANCELLED = 1300,

  // Media catalogue texts without a number of their own (1400-1449).
  IDS_FILE_DATE_UNREADABLE = 1400,
  IDS_FILE_LIST_OUT_OF_MEMORY = 1401,
  IDS_FILE_LIST_ERROR = 1402,
  IDS_ENCODER_NOT_STARTED = 1403,

  // Group folders and files on the stick, texts without a number of their own (1450-1499).
  IDS_NAME_NOT_ALLOWED = 1450,
  IDS_COULD_NOT_CREATE_FOLDER = 1451,
  IDS_COULD_NOT_RENAME_FILE = 1452,
  IDS_COULD_NOT_RENAME_FOLDER = 1453,
};

// The text of a string id, or an empty text for an id the table does not hold.
const char* StringText(int id);
inline std::string StringOf(int id) {
  return StringText(id);
}
// Every id the table holds, in order.
std::vector<int> StringIds();
// For a format text, the kinds of its placeholders in order as FormatKinds gives them ("fi");
// null for a text without placeholders. Format texts are filled with FormatString.
const char* StringFormatKinds(int id);

// The maker's support site, named by the About box and the failure texts that point to it.
inline constexpr char kSupportAddress[] = "https://pspkvx.example.org/support";

}  // namespace pspkvx
