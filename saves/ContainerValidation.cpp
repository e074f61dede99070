#include "saves/ContainerValidation.h"

#include <optional>

#include "base/Names.h"
#include "base/StringTable.h"
#include "saves/SaveContainer.h"

namespace pspkvx {
namespace {

ContainerVerdict Fault(ContainerFault fault, size_t offset, std::string detail) {
  ContainerVerdict verdict;
  verdict.fault = fault;
  verdict.offset = offset;
  verdict.detail = std::move(detail);
  switch (fault) {
    case ContainerFault::None:
      break;
    case ContainerFault::NotAContainer:
    case ContainerFault::DamagedRecord:
      verdict.messageId = IDS_SAVE_CORRUPT;
      verdict.installResult = -3;
      break;
    case ContainerFault::NewerVersion:
      verdict.messageId = IDS_SAVE_FOR_NEWER_VERSION;
      verdict.installResult = -1;
      break;
    case ContainerFault::ChecksumMismatch:
      verdict.messageId = IDS_SAVE_CHECKSUM_FAILED;
      verdict.installResult = -2;
      break;
    case ContainerFault::UnsupportedRecordKind:
      verdict.messageId = IDS_SAVE_OLD_BETA_STYLE;
      verdict.installResult = -1;
      break;
  }
  return verdict;
}

std::string At(size_t offset) {
  return "the record at offset " + std::to_string(offset);
}

// One pass over the records; calls visit(offset, record) for each, stops at the first fault.
template <typename Visit>
std::optional<ContainerVerdict> WalkRecords(std::span<const uint8_t> container, Visit visit) {
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(container, offset);) {
    const uint8_t kind = container[offset];
    if (kind != kRecordFolder && kind != kRecordFile)
      return Fault(ContainerFault::UnsupportedRecordKind, offset,
                   At(offset) + " has the unsupported kind " + std::to_string(kind));
    const auto record = NextRecord(container, offset);
    if (!record)
      return Fault(ContainerFault::DamagedRecord, offset,
                   At(offset) + " runs past the end of the container");
    if (!record->nameTerminated)
      return Fault(ContainerFault::DamagedRecord, offset,
                   At(offset) + " has a name without an end");
    if (auto fault = visit(offset, *record)) return fault;
    offset += record->size;
  }
  return std::nullopt;
}

}  // namespace

std::string SaveRecordNameProblem(const std::string& name, const std::string& saveFolder,
                                  bool isFile) {
  if (name.empty() || name[0] != '\\') return "does not begin with a backslash";
  const std::string_view relative = std::string_view(name).substr(1);
  if (auto problem = RelativePathProblem(relative); !problem.empty()) return problem;
  const size_t end = relative.find_first_of("\\/");
  if (relative.substr(0, end) != saveFolder)
    return "lies outside the save folder \"" + saveFolder + "\"";
  return isFile && end == std::string_view::npos ? "names the save folder itself as a file" : "";
}

ContainerVerdict ValidateContainerRecords(std::span<const uint8_t> container) {
  if (container.size() < kContainerHeaderSize)
    return Fault(ContainerFault::NotAContainer, 0, "shorter than a container header");

  // First pass: every record is inside the container and of a known kind; find the save folder.
  std::optional<std::string> folder;
  auto structural = WalkRecords(
      container,
      [&](size_t offset, const ContainerRecord& record) -> std::optional<ContainerVerdict> {
        if (folder || record.kind != kRecordFolder) return std::nullopt;
        const std::string& name = record.name;
        if (name.size() < 2 || name[0] != '\\' || name.find_first_of("\\/", 1) != std::string::npos)
          return Fault(ContainerFault::DamagedRecord, offset,
                       At(offset) + " must name one save folder, not \"" + name + "\"");
        folder = name.substr(1);
        return std::nullopt;
      });
  if (structural) return *structural;
  if (!folder) return Fault(ContainerFault::DamagedRecord, 0, "the container names no save folder");

  // Second pass: every name stays inside that folder.
  auto names = WalkRecords(
      container,
      [&](size_t offset, const ContainerRecord& record) -> std::optional<ContainerVerdict> {
        const std::string problem =
            SaveRecordNameProblem(record.name, *folder, record.kind == kRecordFile);
        if (problem.empty()) return std::nullopt;
        return Fault(ContainerFault::DamagedRecord, offset,
                     At(offset) + " (\"" + record.name + "\") " + problem);
      });
  if (names) return *names;

  ContainerVerdict sound;
  sound.folderName = *folder;
  return sound;
}

ContainerVerdict CheckAndValidateContainer(std::span<uint8_t> container) {
  switch (CheckContainer(container)) {
    case kContainerNotAContainer:
      return Fault(ContainerFault::NotAContainer, 0, "not a save container");
    case kContainerNewerVersion:
      return Fault(ContainerFault::NewerVersion, 0, "made for a newer program version");
    case kContainerChecksumMismatch:
      return Fault(ContainerFault::ChecksumMismatch, 0, "the checksum does not match");
    default:
      return ValidateContainerRecords(container);
  }
}

}  // namespace pspkvx
