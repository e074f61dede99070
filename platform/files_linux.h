// File and folder operations of the Linux platform layer (POSIX calls).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace pspkvx::platform {

// The whole content of a small text file (sysfs and procfs values); none when unreadable.
std::optional<std::string> ReadTextFile(const std::string& path);

bool PosixCreateEmptyFile(const std::string& path);
bool PosixRemoveFile(const std::string& path);
bool PosixCreateFolder(const std::string& path);
std::vector<FolderEntry> PosixListFolder(const std::string& path);
std::optional<uint64_t> PosixWriteWholeFile(const std::string& path, const void* data,
                                            uint64_t size);
std::optional<DiskSpace> PosixDiskSpace(const std::string& path);
std::optional<PathStatus> PosixQueryPath(const std::string& path);
std::optional<std::string> PosixReadFilePart(const std::string& path, uint64_t offset,
                                             size_t maxBytes);
bool PosixRemoveFolder(const std::string& path);
bool PosixMovePath(const std::string& from, const std::string& to);

}  // namespace pspkvx::platform
