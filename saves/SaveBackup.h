// Keeping saves on the PC: a save folder of the stick written as a save container file, the
// form the online service serves and the install reads, so that a save can be restored without
// the service.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "psp/PspDrive.h"

namespace pspkvx {

inline constexpr char kSaveFileExtension[] = ".pspsave";

struct SaveBackupResult {
  std::string path;     // the file written, or the one that would have been
  std::string error;    // why nothing was written; empty on success
  bool exists = false;  // the file was there and overwrite was not asked for
  bool ok() const { return error.empty(); }
};

// Writes the save folder of the stick as "DIRECTORY/FOLDER.pspsave", titled with the save's
// title, replacing the file whole or not at all. An existing file is kept unless overwrite is
// set. The directory must exist.
SaveBackupResult BackupSave(const platform::Platform& platform, const CPspDrive& drive,
                            const std::string& folder, const std::string& directory,
                            bool overwrite);

}  // namespace pspkvx
