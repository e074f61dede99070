// The whole-container check that comes before anything of a save is written: a container
// arrives from the network, so every record must lie inside it, be of a known kind and name a
// place inside the one save folder it installs.
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace pspkvx {

enum class ContainerFault {
  None,
  NotAContainer,          // CheckContainer -3
  NewerVersion,           // CheckContainer -1
  ChecksumMismatch,       // CheckContainer -2
  DamagedRecord,          // a record runs past the end, or its name is unsafe or malformed
  UnsupportedRecordKind,  // a record kind other than 0 and 1 (an older layout)
};

struct ContainerVerdict {
  ContainerFault fault = ContainerFault::None;
  // The string id of the message to show the user (0 when the container is sound).
  int messageId = 0;
  // What a save install returns for it: 0, -1 (newer version, unsupported kind), -2 (checksum
  // mismatch) or -3 (not a container, damaged record).
  int installResult = 0;
  size_t offset = 0;       // container offset of the faulty record
  std::string detail;      // what is wrong, in words for logs and the command line
  std::string folderName;  // the save folder the container fills (when it is sound)
  bool ok() const { return fault == ContainerFault::None; }
};

// Walks every record of an unscrambled container (as CheckContainer leaves it). Sound when:
// every record lies inside the container; every kind is 0 or 1; the first folder record names
// exactly one folder; and every record's name is SaveRecordNameProblem-free.
ContainerVerdict ValidateContainerRecords(std::span<const uint8_t> container);

// CheckContainer, then ValidateContainerRecords when the check passed: the one call an install
// makes before it writes anything. The body is left unscrambled when the check passed.
ContainerVerdict CheckAndValidateContainer(std::span<uint8_t> container);

// Why a record name cannot be installed into saveFolder, or empty when it can. The name must
// begin with one backslash followed by a relative path (RelativePathProblem) whose first
// component is saveFolder. A file record needs a name inside the folder, not the folder
// itself.
std::string SaveRecordNameProblem(const std::string& name, const std::string& saveFolder,
                                  bool isFile);

}  // namespace pspkvx
