// The simulated PSP, for end-to-end tests, screenshots and demos on machines without a PSP.
// When PSPKVX_SIMULATED_PSP names a folder, the platform also reports the PSP's USB device
// (054C/01C8) and a removable volume with 512-byte sectors on letter 'P' whose root is that
// folder. Its capacity is PSPKVX_SIMULATED_CAPACITY bytes (default 1 GiB); its free space is
// the capacity less the bytes stored in the folder, never more than the real volume's free
// space. While the folder does not exist the PSP is unplugged: neither device nor volume shows.
//
// Like the stick's FAT file system, the simulated volume finds names whatever their case: every
// path below the folder that a file operation is given is first resolved component by component
// against the existing entries (ASCII letters compared without case, an exact match first;
// platform/NameCase.h). Writing "icon0.png" where "ICON0.PNG" exists overwrites ICON0.PNG,
// creating "psp" where "PSP" exists fails as existing, and a move onto a name that exists in
// another case is refused, except that a move to another case of the entry's own name renames it.
// Paths outside the folder are passed on unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace pspkvx::platform {

inline constexpr char kSimulatedPspVariable[] = "PSPKVX_SIMULATED_PSP";
inline constexpr char kSimulatedCapacityVariable[] = "PSPKVX_SIMULATED_CAPACITY";
inline constexpr char kSimulatedPspLetter = 'P';
inline constexpr uint64_t kDefaultSimulatedCapacity = uint64_t(1) << 30;

// Every answer is system's, except those about the simulated PSP (its device path, letter 'P'
// and its root), which take precedence over a real volume on 'P', and the file operations below
// the folder, whose paths are resolved as above before system is asked.
std::unique_ptr<Platform> WithSimulatedPsp(std::unique_ptr<Platform> system,
                                           const std::string& folder, uint64_t capacity);

// The device path the simulated PSP shows among the USB devices.
std::string SimulatedPspDevicePath();

// The capacity a PSPKVX_SIMULATED_CAPACITY value asks for: a positive decimal number of bytes,
// else the default.
uint64_t SimulatedCapacityFromText(const char* text);

}  // namespace pspkvx::platform
