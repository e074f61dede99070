// Facts about the running program that every program of the folder needs the same way: where
// its folder is, which operating-system family it runs on, its version.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace pspkvx {

// Version numbers are the version times 100: the running program is 115, shown "1.15". The
// number is defined in one file (ProgramVersion.cpp), so that a build of the next release (the
// upgrade's demonstration and tests) differs from this one in that file alone.
int ProgramVersion();
// "1.15" for 115.
std::string VersionText(int version = ProgramVersion());

// The program folder, without a trailing separator: the program path before its last
// separator, else the current folder.
std::string FindProgramFolder(const platform::Platform& platform);

// 0, 1 or 2 (platform::OsFamilyValue): the family the system reports when it is one of the two
// the program tells apart, else 0.
uint32_t DetectOsFamily(const platform::Platform& platform);

}  // namespace pspkvx
