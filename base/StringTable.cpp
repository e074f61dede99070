#include "base/StringTable.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace pspkvx {
namespace {

struct Entry {
  int id;
  const char* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {IDS_APP_TITLE, "KVX PSP"},
    {IDS_MINIMIZE, "Minimize"},
    {IDS_WIDE_SCREEN, "Wide 16:9"},
    {IDS_NORMAL_SCREEN, "Normal 4:3"},
    {IDS_BROWSER_FAILED, "Couldn't open your web browser, please go to "},
    {IDS_ABOUT_TEXT,
     "PSPKVX - the companion for your PSP\r\n"
     "Made by the PSPKVX developers\r\n"
     "Version %1.2f\r\n"
     "Help, news and updates: press \"Support\" to visit our support site."},
    {IDS_OPEN_FILE_FAILED, "Failed to open the file:\n"},
    {IDS_VOTES, "%2.0f%% (%i votes)"},
    {IDS_MAXIMIZE, "Maximize"},
    {IDS_RESTORE, "Restore"},
    {IDS_SIZE, "Size"},
    {IDS_ONE_VOTE, "%2.0f%% (%i vote)"},
    {IDS_ENTER_GROUP_NAME, "Enter a name for the folder group"},
    {IDS_EDIT_FILE_NAME, "Edit the file name"},
    {IDS_EDIT_GROUP_NAME, "Edit the folder group name"},
    {IDS_FILE_NAME_EXISTS, "A file with that name already exists:"},
    {IDS_FOLDER_NAME_EXISTS, "A folder with that name already exists."},
    {IDS_SAVE_FOR_NEWER_VERSION,
     "Cannot use this save. It is made for a newer version of the PSP manager application. "
     "Please check for updates by clicking the options button and then the \"check for "
     "updates\" button."},
    {IDS_SAVE_CORRUPT,
     "The downloaded save file is corrupt. Please try downloading it again or wait for a "
     "working version to appear."},
    {IDS_OK, "OK"},
    {IDS_CANNOT_CREATE_ON_STICK, "Could not create a file on the PSP memory stick."},
    {IDS_REMOVE_GROUP_QUESTION,
     "Are you sure you want to remove the folder group and its contents?"},
    {IDS_CHECK_UPDATES_QUESTION,
     "Would you like to check the internet for a new version now?\r\n\r\n"
     "You can check for new versions from within options anytime."},
    {IDS_NEW_VERSION_DOWNLOADING, "A new version has been found and is being downloaded. Version"},
    {IDS_CHECKING_FOR_UPDATES, "Checking with server for updates...."},
    {IDS_NO_NEW_UPDATES, "No new updates available. Your version is the latest."},
    {IDS_UPGRADE_FAILED, "Failed to execute upgrade! Please go to the support page of "},
    {IDS_DOWNLOAD_FINISHED, "Finished downloading, click OK to perform upgrade."},
    {IDS_CANNOT_CREATE_FILE, "Error: Couldn't create the file"},
    {IDS_SAVE_CHECKSUM_FAILED,
     "Failed checksum: The downloaded save file is corrupt. Please try downloading it again or "
     "wait for a working version to appear."},
    {IDS_DOWNLOAD_CANCELLED, "Download was cancelled."},
    {IDS_CURRENT_VERSION,
     "Current version is %2.2f\r\nUpdates are available via the internet, click the button "
     "below to check for updates."},
    {IDS_MAKING_VIDEO_ICON, "Making video icon image file"},
    {IDS_SAVE_EXISTS_OVERWRITE,
     "The save already exists, overwrite it? The existing save will be lost."},
    {IDS_COPYING_TO_PSP, "Copying to PSP: "},
    {IDS_FILE_EXISTS_OVERWRITE, "The file already exists. Overwrite it?"},
    {IDS_STICK_FULL_COPY_FAILED, "Memory stick is full. Failed to copy:"},
    {IDS_CONVERTING_VIDEO, "Converting video data to PSP MP4. "},
    {IDS_PSP_HELP_INTRO, "For your PSP to be found you will need to do the following: "},
    {IDS_PSP_HELP_STEP1, "1. Make sure a Memory Stick is in your PSP and switch the PSP on."},
    {IDS_PSP_HELP_STEP2, "2. Connect the PSP to this computer with a USB cable."},
    {IDS_PSP_HELP_STEP3, "3. On the PSP, open Settings and choose \"USB Connection\"."},
    {IDS_PSP_HELP_STEP4,
     "4. Wait until the PSP shows \"USB Mode\" and the computer shows the memory stick as a "
     "drive (on Linux it must be mounted; most desktops do that by themselves)."},
    {IDS_PSP_HELP_STEP5, "5. Leave the PSP in USB mode while this program works with it."},
    {IDS_PSP_HELP_STEP6,
     "6. If Options says \"Do not search for the PSP\", check that its drive letter is the "
     "PSP's, or untick that box."},
    {IDS_PSP_HELP_STEP7,
     "7. Still not found? Unplug the cable, wait a few seconds and connect it again."},
    {IDS_VIDEO_UNSUPPORTED, "Sorry, couldn't convert the video (unsupported encoding):"},
    {IDS_UPDATE_LOOKUP_FAILED, "Failed to connect to server or find update information."},
    {IDS_DESTINATION_EXISTS,
     "The destination file already exists. Would you like to overwrite the existing file or "
     "save it to another name?\r\n\r\n"},
    {IDS_OVERWRITE, "Overwrite"},
    {IDS_RENAME, "Rename"},
    {IDS_SKIP, "Skip"},
    {IDS_ADD_TO_LIST, "Add To List"},
    {IDS_QUALITY_VERY_LOW, "Very Low"},
    {IDS_QUALITY_LOW, "Low"},
    {IDS_QUALITY_MEDIUM, "Medium"},
    {IDS_QUALITY_HIGH, "High"},
    {IDS_QUALITY_VERY_HIGH, "Very High"},
    {IDS_QUALITY_MAXIMUM, "Maximum"},
    {IDS_CAPTION_GAME, "Game:"},
    {IDS_CAPTION_REGION, "Region:"},
    {IDS_AVC_NOTICE,
     "You have selected to encode the video in AVC format. Please note that you must have a "
     "PSP with system software version 2.0 or above to play these videos. Click the \"more "
     "info\" button for further information."},
    {IDS_NORMAL_MPEG4, "Normal MPEG4"},
    {IDS_AVC, "AVC"},
    {IDS_MORE_INFO, "More Info"},
    {IDS_PHOTO_STRAIGHT_COPY, "Straight Copy"},
    {IDS_PHOTO_RESCALE, "Rescale to PSP screen (max width 480 and max height 272 pixels)"},
    {IDS_CONVERTING_IMAGE, "Converting image"},
    {IDS_IMAGE_UNSUPPORTED,
     "Sorry, couldn't convert this image. May be due to the image containing multiple layers "
     "or transparencies."},
    {IDS_PHOTO_STRETCH, "Resize and stretch to fit PSP screen  (480x272 pixels)"},
    {IDS_PHOTO_CLIP, "Resize to edges of PSP screen and clip overlapping edges"},
    {IDS_CLOSING, "Closing.....please wait"},
    {IDS_SAVE_DOWNLOADED, "Downloaded OK -  Saving to PSP..."},
    {IDS_NO_SAVES_REGION_SECTION,
     "There are currently no saves for games in the %s region %s section."},
    {IDS_NO_SAVES_SECTION, "There are currently no saves for the %s section."},
    {IDS_CAPTION_GAME_ID, "Game ID:"},
    {IDS_CAPTION_UPDATED, "Last Updated:"},
    {IDS_NO_SAVES_FOR_LETTER, "There are currently no saves for games starting with the letter"},
    {IDS_RECEIVING_GAME_LIST, "Receiving game list from server......please wait."},
    {IDS_CAPTION_SAVE_NAME, "Save Name:"},
    {IDS_CAPTION_BY, "By:"},
    {IDS_CAPTION_SAVE_ID, "Save ID:"},
    {IDS_LOOKING_FOR_SAVES, "Looking for game saves.....please wait"},
    {IDS_NO_SAVES_FOR_USER, "There are no saves uploaded in your user name: "},
    {IDS_CANNOT_READ_SERVER,
     "Cannot read from the server, please check your internet connection and firewall settings"},
    {IDS_SERVER_NOT_FUNCTIONING,
     "The online server is not functioning. Please try again later or update the program via "
     "the web site"},
    {IDS_CONNECTION_PROBLEM,
     "There is a problem with the internet connection or server. Cannot connect."},
    {IDS_CONNECTING, "Connecting to the internet......please wait"},
    {IDS_VERSION_AVAILABLE,
     "Version %2.2f of this software is available. To update, click the \"Options\" button, "
     "then click \"Check for updates\"."},
    {IDS_NO_SAVES_FOR_GAME,
     "There are no saves for this game! (maybe they just got deleted, or the database is wrong)."},
    {IDS_SAVE_FILE_MISSING,
     "Sorry, cannot download this save - the save file is missing on the server!"},
    {IDS_PAGE_LOAD_FAILED, "Server error, failed to load a page, URL doesn't exist. (bad link)."},
    {IDS_SERVER_DOWN, "Couldn't connect to the server. Server may be down."},
    {IDS_RECEIVING_SAVES_LIST, "Recieving saves list from server..... please wait"},
    {IDS_DOWNLOADING_SAVE, "Downloading save....please wait"},
    {IDS_SAVE_DOWNLOAD_FAILED, "Failed to download the save. Server error. File may not exist."},
    {IDS_SAVE_EXISTS_ON_PSP,
     "A save for this game already exists on your PSP.\n\nAre you sure you want to overwrite it?"},
    {IDS_NOT_ENOUGH_SPACE,
     "There is not enough space on you memory stick to complete this operation.\n\n"
     "Space on memory stick is %s.\n\nNeed %s."},

    // PSP link and memory stick.
    {IDS_PSP_READY_ON_DRIVE, "PSP ready on drive"},
    {IDS_PSP_NOT_PRESENT_ON_DRIVE, "PSP not present on drive"},
    {IDS_CONNECT_PSP_VIA_USB, "Please connect PSP via usb"},
    {IDS_SEARCHING_FOR_PSP, "Searching for PSP..."},
    {IDS_FREE_SPACE, "%2.1fMb free (%iMb)"},
    {IDS_STICK_WRITE_FAILED, "Error writing to PSP memory stick. May be out of free space."},
    {IDS_STICK_OUT_OF_SPACE, "Out of space. The memory stick is full."},
    {IDS_STICK_UNKNOWN_WRITE_ERROR,
     "Unknown error %i writing to PSP memory stick.\nWriting %i bytes, managed %i."},
    {IDS_VIDEO_NAMES_EXHAUSTED,
     "Out of space. The memory stick is full: its video folder already holds a video under "
     "every name from 00001 to 99999."},
    {IDS_DELETE_FROM_PSP, "Delete from PSP"},

    // Saves on the stick.
    {IDS_NO_SAVES_ON_PSP, "There are no saves on your PSP"},
    {IDS_NO_PSP_DETECTED, "No PSP Detected, please plug in your PSP using the USB cable"},
    {IDS_DELETE_ENTIRE_SAVE, "Delete the entire save?"},
    {IDS_COULD_NOT_DELETE_FOLDER, "Couldn't delete the folder:\n\n"},
    {IDS_COULD_NOT_DELETE_FILE, "Couldn't delete the file:\n\n"},
    {IDS_SAVE_NOT_REPLACED,
     "Could not put the new save in place on the PSP memory stick. The save that was there "
     "before is unchanged."},
    {IDS_SAVE_OLD_BETA_STYLE, "Invalid Save File!! Old beta style!!"},
    {IDS_NO_ONLINE_SERVER, "Could not connect to online server"},
    {IDS_INTERNET_NOT_WORKING, "The internet connection does not appear to be working"},
    {IDS_NO_INTERNET_CONNECTION, "Could not establish an internet connection."},
    {IDS_UNKNOWN_MENU_COMMAND, "An unknown menu command was received"},
    {IDS_TREE_SELECT_SAVE, "Choose a save or one of its files in the online tree first."},
    {IDS_TREE_NOT_READABLE, "The server's answer could not be read:\n\n%s"},
    {IDS_BACKUP_DONE, "%i save(s) backed up to:\n\n%s"},
    {IDS_BACKUP_FAILED, "Could not back up the save:\n\n%s"},
    {IDS_BACKUP_SELECT_SAVES, "Choose the saves to back up in the list of saves on the PSP first."},
    {IDS_INSTALL_FILE_UNREADABLE, "Could not read the save file:\n\n%s"},
    {IDS_CANCELLED, "Cancelled"},
    {IDS_FILE_DATE_UNREADABLE, "Error reading file to check date and time"},
    {IDS_FILE_LIST_OUT_OF_MEMORY, "Out of memory adding to file list"},
    {IDS_FILE_LIST_ERROR, "Unknown Filelist error"},
    {IDS_ENCODER_NOT_STARTED, "Failed to execute video conversion component!! Please re-install."},
    {IDS_NAME_NOT_ALLOWED, "That name cannot be used on the PSP memory stick:"},
    {IDS_COULD_NOT_CREATE_FOLDER, "Couldn't create the folder:\n\n"},
    {IDS_COULD_NOT_RENAME_FILE, "Couldn't rename the file:\n\n"},
    {IDS_COULD_NOT_RENAME_FOLDER, "Couldn't rename the folder:\n\n"},
    {IDS_INVALID_UPGRADE_FILE, "Invalid Upgrade File!!"},
    {IDS_COPY_FAILED, "An error occured trying to copy the file."},
    {IDS_DOWNLOAD_DESTINATION_EXISTS,
     "The file already exists on the destination drive, do you want to copy it anyway?"},
    {IDS_UPGRADE_NOT_SIGNED,
     "The new version could not be installed: it carries no signature of its makers. Nothing "
     "was changed; please try again later."},
    {IDS_UPGRADE_BAD_SIGNATURE,
     "The new version could not be installed: its signature does not match its makers' key, so "
     "it may have been altered on its way. Nothing was changed."},
};

// The placeholders of every format text, as its callers fill them (FormatString checks them).
constexpr struct {
  int id;
  const char* kinds;
} kFormatTexts[] = {
    {IDS_ABOUT_TEXT, "f"},
    {IDS_VOTES, "fi"},
    {IDS_ONE_VOTE, "fi"},
    {IDS_CURRENT_VERSION, "f"},
    {IDS_NO_SAVES_REGION_SECTION, "ss"},
    {IDS_NO_SAVES_SECTION, "s"},
    {IDS_VERSION_AVAILABLE, "f"},
    {IDS_NOT_ENOUGH_SPACE, "ss"},
    {IDS_FREE_SPACE, "fi"},
    {IDS_STICK_UNKNOWN_WRITE_ERROR, "iii"},
    {IDS_TREE_NOT_READABLE, "s"},
    {IDS_BACKUP_DONE, "is"},
    {IDS_BACKUP_FAILED, "s"},
    {IDS_INSTALL_FILE_UNREADABLE, "s"},
};

constexpr bool IsSorted() {
  for (size_t i = 1; i < std::size(kStrings); ++i)
    if (kStrings[i - 1].id >= kStrings[i].id) return false;
  return true;
}
static_assert(IsSorted(), "keep the string table sorted by id, without repeats");

}  // namespace

std::vector<int> StringIds() {
  std::vector<int> ids;
  for (const Entry& entry : kStrings)
    ids.push_back(entry.id);
  return ids;
}

const char* StringFormatKinds(int id) {
  for (const auto& text : kFormatTexts)
    if (text.id == id) return text.kinds;
  return nullptr;
}

const char* StringText(int id) {
  const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                   [](const Entry& e, int value) { return e.id < value; });
  return (it != std::end(kStrings) && it->id == id) ? it->text : "";
}

}  // namespace pspkvx
