// The game saves on the memory stick: one folder each under "PSP\SAVEDATA", holding the game's
// files, a "PARAM.SFO" with the title and usually an "icon0.png". Nothing here shows a message:
// an unreadable title, icon or size gives an empty title or a size of 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "saves/ParamSfo.h"

namespace pspkvx {

inline constexpr char kSaveIconName[] = "icon0.png";

// One save folder the scan found.
struct SaveEntry {
  std::string name;          // the folder name (the save's ID)
  std::string path;          // the folder's full path
  int64_t modifiedTime = 0;  // seconds since 1970 UTC
};

// A name that can be a save folder of SAVEDATA: a bare name (BareNameProblem) that does not
// begin with "." (those are never listed).
bool IsSaveFolderName(const std::string& name);

// The stick's "PSP\SAVEDATA" folder (root + "PSP" + separator + "SAVEDATA"); empty when the
// drive letter names no mounted volume.
std::string SaveDataFolder(const CPspDrive& drive);
// The folder of a save: the SAVEDATA folder, a separator and the folder name; empty without a
// volume.
std::string SaveFolderPath(const CPspDrive& drive, const std::string& folderName);

// The save folders of the stick, in the order the folder listing gives them: every folder of
// SAVEDATA whose name does not begin with "." (plain files are ignored), with its path as it is on
// the stick ("psp/savedata/..." where the stick has those names). Empty unless the PSP is ready.
std::vector<SaveEntry> ScanSaves(const platform::Platform& platform, const CPspDrive& drive);

// The title of a save: up to 80 bytes of its PARAM.SFO (in whatever case the name is on the
// stick) from offset 4784, ending at the first NUL, cleaned with a space (CleanText). Empty when
// the file cannot be read or is shorter than that.
std::string ReadSaveTitle(const platform::Platform& platform, const CPspDrive& drive,
                          const std::string& folderName);

struct FolderSizeResult {
  uint64_t bytes = 0;
  uint64_t files = 0;
};
// The bytes and number of the files below a folder, subfolders included. Symbolic links are
// neither followed nor counted.
FolderSizeResult FolderSize(const platform::Platform& platform, const std::string& path);

// True when the save's folder exists and holds at least one entry.
bool SaveExistsOnStick(const platform::Platform& platform, const CPspDrive& drive,
                       const std::string& folderName);

}  // namespace pspkvx
