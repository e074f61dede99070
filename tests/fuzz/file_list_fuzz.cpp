// The list files of the media pages over arbitrary bytes, in memory: the reader stays inside
// the bytes, and what it reads is written back to the same records.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "media/FileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<pspkvx::MediaEntry> records;
  const int result = pspkvx::ParseFileList(std::span<const uint8_t>(data, size), records);
  if (result != pspkvx::FileListLoaded && !records.empty()) std::abort();
  for (const pspkvx::MediaEntry& record : records)
    if (record.name.find('\n') != std::string::npos || record.path.find('\n') != std::string::npos)
      std::abort();
  return 0;
}
