// The version of the newest release and the size of its upgrade file, read from the end of the
// service's VERSION_URL value ("…/pspkvx_upgrade_4500_116.bin": 4500 kilobytes, version 1.16).
// Versions are integers, the version times 100.
#pragma once

#include <cstdint>
#include <string_view>

namespace pspkvx {

struct ReleaseVersion {
  int version = 0;    // 0: the value is unusable
  int64_t bytes = 0;  // the expected download size: the kilobytes times 1000
  bool usable() const { return version != 0; }
};

// The last "." of the value: the three characters before it are the version; searching back
// from five characters before it, the text after the nearest "_" is the size in kilobytes. A
// value whose "." is missing or among its first three characters, or without such a "_" at
// index 3 or later, is unusable (version and size 0). Numbers are read as decimal "%i".
ReleaseVersion ParseVersionUrl(std::string_view value);

}  // namespace pspkvx
