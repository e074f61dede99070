#include "update/UpgradeFile.h"

#include <cstring>

#include "base/LittleEndian.h"
#include "base/RecordChecksum.h"
#include "base/StringTable.h"
#include "platform/Platform.h"
#include "saves/ContainerScramble.h"
#include "saves/SaveContainer.h"

namespace pspkvx {

UpgradeProgram ReadUpgradeProgram(std::span<const uint8_t> buffer) {
  UpgradeProgram program;
  // The length word and the container must lie inside the buffer (64-bit arithmetic).
  if (buffer.size() < 4) return program;
  const uint64_t length = ReadLe32(buffer.data());
  if (length > buffer.size() - 4 || length < kContainerHeaderSize) return program;
  std::vector<uint8_t> container(buffer.begin() + 4,
                                 buffer.begin() + 4 + static_cast<std::ptrdiff_t>(length));
  if (std::memcmp(container.data() + kContainerMagicOffset, kContainerMagic, 7) != 0)
    return program;
  const uint32_t stored = ReadLe32(container.data());
  UnscrambleBody(container.data() + kContainerHeaderSize, container.size() - kContainerHeaderSize);
  if (RecordChecksum(container.data() + 4, container.size() - 4) != stored) {
    program.result = UpgradeChecksumMismatch;
    return program;
  }
  std::vector<uint8_t> bytes;
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(container, offset);) {
    const std::optional<ContainerRecord> record = NextRecord(container, offset);
    if (!record || (record->kind != kRecordFolder && record->kind != kRecordFile)) {
      program.result = UpgradeBadRecord;
      return program;
    }
    bytes.insert(bytes.end(), record->data.begin(), record->data.end());
    offset += record->size;
  }
  program.result = UpgradeWritten;
  program.bytes = std::move(bytes);
  return program;
}

int WriteUpgradeFile(std::span<const uint8_t> buffer, const std::string& path) {
  const UpgradeProgram program = ReadUpgradeProgram(buffer);
  if (program.result != UpgradeWritten) return program.result;
  if (!platform::ReplaceFileAtomically(path, program.bytes.data(), program.bytes.size(),
                                       platform::FileAccess::Program))
    return UpgradeCannotCreate;
  return UpgradeWritten;
}

int UpgradeWriteMessage(int result) {
  switch (result) {
    case UpgradeCannotCreate:
      return IDS_CANNOT_CREATE_FILE;
    case UpgradeChecksumMismatch:
      return IDS_SAVE_CHECKSUM_FAILED;
    case UpgradeBadRecord:
      return IDS_INVALID_UPGRADE_FILE;
    default:
      return IDS_SAVE_CORRUPT;
  }
}

}  // namespace pspkvx
