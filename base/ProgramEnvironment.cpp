#include "base/ProgramEnvironment.h"

namespace pspkvx {

std::string VersionText(int version) {
  const int whole = version / 100;
  const int hundredths = version % 100 < 0 ? -(version % 100) : version % 100;
  return std::to_string(whole) + "." + (hundredths < 10 ? "0" : "") + std::to_string(hundredths);
}

std::string FindProgramFolder(const platform::Platform& platform) {
  const std::string path = platform.ProgramPath();
  if (!path.empty()) return platform::FolderOfPath(path);
  return platform.CurrentDirectory();
}

uint32_t DetectOsFamily(const platform::Platform& platform) {
  const uint32_t family = platform.OsFamily();
  return family == platform::kOsNt || family == platform::kOsWin9x ? family : platform::kOsOther;
}

}  // namespace pspkvx
