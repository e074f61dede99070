// Installing a save received as a container onto the stick, as a folder of "PSP\SAVEDATA".
//
// The whole container is checked before anything is written (CheckAndValidateContainer). The
// new save is made in a staging folder beside the saves, "PSP\SAVEDATA\.pspkvx-install" (the
// scan never lists names beginning with "."), and only once it is complete is it swapped in by
// renames: an earlier save of the same folder is first moved into "PSP\SAVEDATA\.pspkvx-replaced",
// then the new folder takes its name, then the earlier one is removed. A failure at any step
// removes the staging folder and leaves the earlier save as it was; an install interrupted
// between the two renames is put right by the next install.
//
// An overwrite writes the container's files over the earlier save and removes none of its files:
// the staging folder starts as a copy of the earlier save (file by file, never links, as the
// copies are then written over), and each record is written over the copy. A file whose name
// differs from an earlier one only in case is that file, as on the stick's FAT file system: it
// gets the new bytes under the name it had.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "saves/SaveContainer.h"
#include "saves/SaveStick.h"

namespace pspkvx {

inline constexpr char kInstallStagingFolder[] = ".pspkvx-install";
inline constexpr char kReplacedSaveFolder[] = ".pspkvx-replaced";

// What an install did, for callers that report it.
struct SaveInstallReport {
  std::string title;       // the container's title (UTF-8), once it was found sound
  std::string folder;      // the save folder it fills
  bool declined = false;   // a save was there and the user chose not to overwrite it
  bool replaced = false;   // an earlier save of the folder was replaced
  bool installed = false;  // the save is on the stick now
};

// Installs the container held in buffer ([32-bit length N][N container bytes]; the body is
// left unscrambled). With ask, a save that already holds files is only replaced after the
// user agreed. Returns 0 done (or declined by the user), -1 refused (newer version, an old
// record kind, no room) or failed while writing, -2 checksum mismatch, -3 not a container or a
// damaged record; every refusal and failure has shown its message.
//
// Room: N bytes must not exceed the free bytes plus, once the user agreed to overwrite, the
// earlier save's bytes. As the earlier save is removed only after the new one is complete, the
// staging folder must also fit into the free space as it is: the copy of the earlier save (when
// there is one, asked about or not) plus, for each file record, the bytes it has beyond the
// earlier file of the same name in any case.
int InstallSave(const SaveStick& stick, std::span<uint8_t> buffer, bool ask,
                SaveInstallReport* report = nullptr);

// Writes one record of an unscrambled container below baseFolder (a folder record creates its
// folder); returns the bytes the record takes, or -1 after showing why it could not be written.
int64_t WriteSaveRecord(const SaveStick& stick, const ContainerRecord& record,
                        const std::string& baseFolder);

}  // namespace pspkvx
