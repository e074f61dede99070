// The save container readers over arbitrary bytes: CheckContainer, the validation walk and
// ReadContainerInfo must stay inside the buffer, give a re-scrambled buffer back exactly, and
// agree with each other. Each input is tried as it is (a stored container) and, sealed with
// its checksum and scrambling, as the unscrambled form of one, so that mutations reach the
// record walk instead of stopping at the checksum.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "saves/ContainerInfo.h"
#include "saves/ContainerValidation.h"
#include "saves/ContainerWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Require(bool condition) {
  if (!condition) std::abort();
}

// A verdict that says sound must mean every record can be read and named safely.
void RequireSoundWalk(const Bytes& unscrambled, const pspkvx::ContainerVerdict& verdict) {
  if (!verdict.ok()) return;
  Require(!verdict.folderName.empty());
  for (size_t offset = pspkvx::kContainerHeaderSize;
       pspkvx::RecordMayStartAt(unscrambled, offset);) {
    const auto record = pspkvx::NextRecord(unscrambled, offset);
    Require(record.has_value());
    Require(record->kind == pspkvx::kRecordFolder || record->kind == pspkvx::kRecordFile);
    Require(pspkvx::SaveRecordNameProblem(record->name, verdict.folderName,
                                          record->kind == pspkvx::kRecordFile)
                .empty());
    offset += record->size;
  }
}

void TryStored(const Bytes& stored) {
  Bytes checked = stored;
  const pspkvx::ContainerVerdict verdict = pspkvx::CheckAndValidateContainer(checked);
  RequireSoundWalk(checked, verdict);

  Bytes read = stored;
  pspkvx::ContainerInfo info;
  pspkvx::IconPicture picture;
  const int result = pspkvx::ReadContainerInfo(read, info, {{}, &picture, true});
  Require(read == stored);
  Require(result == pspkvx::CheckContainer(read));
  if (verdict.ok()) Require(info.folderName == verdict.folderName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes input(data, data + size);
  TryStored(input);
  if (size >= pspkvx::kContainerHeaderSize) {
    Bytes sealed = input;
    pspkvx::SealContainer(sealed);
    Bytes checked = sealed;
    // A sealed container never fails its checksum.
    Require(pspkvx::CheckContainer(checked) != pspkvx::kContainerChecksumMismatch);
    TryStored(sealed);
  }
  return 0;
}
