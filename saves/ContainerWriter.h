// Producing save containers, for the command line, the tests and the reference saves service.
// A produced container is what every reader here accepts: the header with "PSPSAVE001" and
// the title, the save's folder record first, its records, the checksum, the body scrambled.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "saves/SaveContainer.h"

namespace pspkvx {

// One record to write. Names are 8-bit and relative to the stick's "PSP\SAVEDATA", with
// backslashes: "\" + save folder for the save's folder record, "\" + save folder + "\" +
// path inside it for its files and subfolders. Each byte is stored as the UTF-16 character of
// the same value, so a reader gets exactly these bytes back.
struct SaveRecordSource {
  ContainerRecordKind kind = kRecordFolder;
  std::string name;
  std::string_view data;  // a file's bytes (not copied until the container is written)
};

struct ContainerWriteResult {
  std::vector<uint8_t> container;  // the container bytes (without a length prefix)
  std::string error;               // why nothing was produced; empty on success
  bool ok() const { return error.empty(); }
};

// Why a title cannot go into a header, or empty: it must be UTF-8 and, as UTF-16 with its NUL,
// fit into the header after offset 14 (at most 2200 UTF-16 characters).
std::string ContainerTitleProblem(const std::string& title);

// A container of the records in the given order; the first folder record names the save
// folder. Refused (with an error and no bytes) when the title has a problem, a name is longer
// than 259 characters, a file is 4 GiB or larger, or a reader would refuse the records
// (ValidateContainerRecords): every name must lie inside the save folder.
ContainerWriteResult WriteContainer(const std::string& title,
                                    const std::vector<SaveRecordSource>& records);

// A save folder on disk as a path names it: the path made absolute and normal (so that "." and
// "x/.." name the folders they stand for) and its last component, the save's folder name,
// which must be a bare name (BareNameProblem). error says why the path names no save folder.
struct SaveFolderOnDisk {
  std::string path;
  std::string name;
  std::string error;
  bool ok() const { return error.empty(); }
};
SaveFolderOnDisk FindSaveFolder(const std::string& folderPath);

// A container of a save folder on disk (FindSaveFolder), named by its last path component. Records
// come in a stable order: the folder's record, then its entries sorted by name (bytewise), a
// subfolder as its own folder record followed by its entries in the same way. Only files and
// folders are packed; anything else (a symbolic link, a device) is refused with an error naming it.
ContainerWriteResult PackSaveFolder(const std::string& folderPath, const std::string& title);

// The last step of producing a container from its unscrambled bytes: RecordChecksum of bytes
// 4..N-1 stored at offset 0, then the body scrambled. Writes the checksum even for a container
// whose records are unsound (the tests build hostile containers with it).
void SealContainer(std::span<uint8_t> container);

}  // namespace pspkvx
