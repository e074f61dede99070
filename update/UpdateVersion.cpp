#include "update/UpdateVersion.h"

#include "base/Numbers.h"

namespace pspkvx {

ReleaseVersion ParseVersionUrl(std::string_view value) {
  ReleaseVersion release;
  const size_t dot = value.rfind('.');
  if (dot == std::string_view::npos || dot < 3) return release;
  const int version = static_cast<int>(ScanInteger(value.substr(dot - 3, 3)));
  if (dot < 5 || dot - 5 < 3) return release;
  const size_t underscore = value.rfind('_', dot - 5);
  if (underscore == std::string_view::npos || underscore < 3) return release;
  release.version = version;
  release.bytes = ScanInteger(value.substr(underscore + 1)) * 1000;
  return release;
}

}  // namespace pspkvx
