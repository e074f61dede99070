// The upgrade program inside a downloaded release: the release is a save container whose file
// records, in order, hold the program's bytes (folder records hold none, names are not used).
// The whole container is checked before anything is written; the program is then written to a
// temporary name with its executable bit and renamed into place, so a bad or cut download never
// leaves a program file behind.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pspkvx {

// The programs of the program folder an upgrade deals with.
#ifdef _WIN32
inline constexpr char kUpgradeProgramName[] = "upgrade.exe";
inline constexpr char kMainProgramName[] = "PSPKVX.exe";
#else
inline constexpr char kUpgradeProgramName[] = "upgrade";
inline constexpr char kMainProgramName[] = "PSPKVX";
#endif

enum UpgradeWriteResult : int {
  UpgradeWritten = 0,
  UpgradeCannotCreate = -1,      // the file could not be written
  UpgradeNotAContainer = -2,     // shorter than a header, or no "PSPSAVE" magic
  UpgradeChecksumMismatch = -3,  // the checksum does not match the unscrambled body
  UpgradeBadRecord = -4,         // a record of another kind, or one that runs past the end
};

struct UpgradeProgram {
  int result = UpgradeNotAContainer;
  std::vector<uint8_t> bytes;  // the program, when result is UpgradeWritten
};

// The upgrade program held in a downloaded buffer ([32-bit length N][N container bytes]),
// read from a copy (the buffer is left as it is).
UpgradeProgram ReadUpgradeProgram(std::span<const uint8_t> buffer);

// Checks the buffer and writes its program to path (only when the whole buffer is sound; an
// existing file is otherwise left untouched). Returns an UpgradeWriteResult.
int WriteUpgradeFile(std::span<const uint8_t> buffer, const std::string& path);

// The string-table text that tells the user what a result other than UpgradeWritten means.
int UpgradeWriteMessage(int result);

}  // namespace pspkvx
