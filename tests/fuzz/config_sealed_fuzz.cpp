// The configuration record's fields over arbitrary bytes: the input becomes the record (cut or
// padded to its size) with the program's magic and a checksum that matches, so every mutation
// is loaded, and each field is read as the CLI shows it. Widths must keep their invariants and
// every text must stay inside its field.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/AppConfig.h"
#include "app/ConfigFields.h"
#include "base/LittleEndian.h"
#include "base/RecordChecksum.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(pspkvx::kConfigFileSize, 0);
  std::memcpy(file.data(), data, std::min(size, pspkvx::kConfigRecordSize));
  std::memcpy(file.data(), pspkvx::kConfigMagic, 10);
  pspkvx::WriteLe32(file.data() + pspkvx::kConfigRecordSize,
                    pspkvx::RecordChecksum(file.data(), pspkvx::kConfigRecordSize));
  pspkvx::AppConfig config;
  if (pspkvx::LoadConfigBytes(config, file, "/docs")) std::abort();  // it is a sound record
  for (int i = 1; i < 5; ++i)
    if (config.FileListColumnWidths[i] == 0 || config.SecondListColumnWidths[i] == 0) std::abort();
  for (const pspkvx::ConfigFieldInfo& field : pspkvx::ConfigFields()) {
    // A text never runs past its field; a number prints in at most 20 characters.
    if (pspkvx::ConfigFieldText(config, field).size() > std::max<size_t>(field.size, 20))
      std::abort();
    if (field.kind == pspkvx::ConfigFieldKind::Widths) {
      int32_t widths[5];
      pspkvx::ConfigFieldWidths(config, field, widths);
    }
  }
  return 0;
}
