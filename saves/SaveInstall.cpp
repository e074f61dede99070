#include "saves/SaveInstall.h"

#include <cstdio>

#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "psp/StickLayout.h"
#include "saves/ContainerValidation.h"
#include "saves/SaveDiscovery.h"
#include "saves/SaveRemoval.h"

namespace pspkvx {
namespace {

using platform::JoinPath;

// The folders an install works with, all inside SAVEDATA.
struct InstallPaths {
  std::string target;        // the save's folder
  std::string staging;       // the staging folder; the new save is written into staging/folder
  std::string staged;        // staging/folder
  std::string replaced;      // where an earlier save waits while the new one takes its place
  std::string replacedSave;  // replaced/folder
};

InstallPaths PathsOf(const std::string& saveData, const std::string& folder) {
  InstallPaths paths;
  paths.target = JoinPath(saveData, folder);
  paths.staging = JoinPath(saveData, kInstallStagingFolder);
  paths.staged = JoinPath(paths.staging, folder);
  paths.replaced = JoinPath(saveData, kReplacedSaveFolder);
  paths.replacedSave = JoinPath(paths.replaced, folder);
  return paths;
}

bool Exists(const SaveStick& stick, const std::string& path) {
  return stick.platform.QueryPath(path).has_value();
}

// Removes a folder when it is there; false (after DeleteTree's message) when it stays.
bool RemoveIfPresent(const SaveStick& stick, const std::string& path) {
  return !Exists(stick, path) || DeleteTree(stick, path) == 0;
}

// What an earlier install left when it was cut off: a save that was moved aside but not
// replaced goes back to its place; everything else of it is removed. False when a leftover
// could not be removed (its message was shown).
bool CleanUpEarlierInstall(const SaveStick& stick, const std::string& saveData,
                           const InstallPaths& paths) {
  for (const platform::FolderEntry& entry : stick.platform.ListFolder(paths.replaced)) {
    const std::string place = JoinPath(saveData, entry.name);
    if (IsSaveFolderName(entry.name) && !Exists(stick, place))
      stick.platform.MovePath(JoinPath(paths.replaced, entry.name), place);
  }
  return RemoveIfPresent(stick, paths.replaced) && RemoveIfPresent(stick, paths.staging);
}

// The bytes of the earlier file that a record's name finds in SAVEDATA, whatever its case; 0 when
// there is none.
uint64_t EarlierFileBytes(const SaveStick& stick, const std::string& saveData,
                          const std::string& name) {
  const std::string path = stick.files.FindSaveName(name, saveData);
  const auto status = path.empty() ? std::nullopt : stick.platform.QueryPath(path);
  return status && status->kind == platform::PathKind::File ? status->size : 0;
}

// What the staging folder takes: the copy of the earlier save (earlierBytes; none without one),
// plus for each file record the bytes it has beyond the earlier file it is written over.
uint64_t StagingBytes(const SaveStick& stick, std::span<const uint8_t> container,
                      const std::string& saveData, bool earlierSave, uint64_t earlierBytes) {
  uint64_t bytes = earlierBytes;
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(container, offset);) {
    const auto record = NextRecord(container, offset);
    if (!record) break;
    if (record->kind == kRecordFile) {
      const uint64_t earlier = earlierSave ? EarlierFileBytes(stick, saveData, record->name) : 0;
      if (record->length > earlier) bytes += record->length - earlier;
    }
    offset += record->size;
  }
  return bytes;
}

void ShowNotEnoughSpace(const SaveStick& stick, uint64_t available, uint64_t needed) {
  ShowMessage(stick.host,
              FormatString(IDS_NOT_ENOUGH_SPACE, {FormatSize(available), FormatSize(needed)}));
}

// True when the stick has room for the container of containerBytes (see InstallSave): counted is
// the earlier save's bytes once the user agreed to overwrite it, staging what the staging folder
// takes beside everything that is on the stick now.
bool HasRoom(const SaveStick& stick, uint64_t containerBytes, uint64_t counted, uint64_t staging) {
  stick.drive.RefreshFreeSpace();
  const uint64_t free = stick.drive.StoredFreeBytes();
  if (containerBytes > free + counted) {
    ShowNotEnoughSpace(stick, free + counted, containerBytes);
    return false;
  }
  if (staging > free) {
    ShowNotEnoughSpace(stick, free, staging);
    return false;
  }
  return true;
}

// Shows why a write of length bytes failed (a WriteToStick code).
void ShowWriteFailure(const SaveStick& stick, int code, uint64_t length, uint64_t written) {
  bool stickFull = false;
  if (code == -2) {
    stick.drive.RefreshFreeSpace();
    stickFull = stick.drive.StoredFreeBytes() <= length;
  }
  ShowMessage(stick.host, WriteToStickMessage(code, length, written, stickFull));
}

// Copies everything inside the folder from into the new folder to, file by file with the names
// as they are. The copies are files of their own (never links to the originals), so writing the
// new save over them leaves the earlier save as it was. False after showing why something could
// not be copied.
bool CopyFolder(const SaveStick& stick, const std::string& from, const std::string& to) {
  platform::Platform& files = stick.platform;
  if (!files.CreateFolder(to)) {
    ShowMessage(stick.host, StringOf(IDS_CANNOT_CREATE_ON_STICK));
    return false;
  }
  for (const platform::FolderEntry& entry : files.ListFolder(from)) {
    const std::string source = JoinPath(from, entry.name);
    const std::string copy = JoinPath(to, entry.name);
    const auto status = files.QueryPath(source);
    if (status && status->kind == platform::PathKind::Folder) {
      if (!CopyFolder(stick, source, copy)) return false;
      continue;
    }
    // A FAT volume holds nothing but files and folders; anything else cannot be carried over.
    const auto bytes = status && status->kind == platform::PathKind::File
                           ? files.ReadFilePart(source, 0, static_cast<size_t>(status->size))
                           : std::nullopt;
    if (!bytes) {
      ShowMessage(stick.host, StringOf(IDS_SAVE_NOT_REPLACED));
      return false;
    }
    const auto written = files.WriteWholeFile(copy, bytes->data(), bytes->size());
    if (!written || *written < bytes->size()) {
      ShowWriteFailure(stick, written ? -2 : -1, bytes->size(), written.value_or(0));
      return false;
    }
  }
  return true;
}

// Starts the staging folder with a copy of the earlier save, for the new save's files to be
// written over; false after showing why it could not be made.
bool StageEarlierSave(const SaveStick& stick, const InstallPaths& paths) {
  if (!stick.platform.CreateFolder(paths.staging)) {
    ShowMessage(stick.host, StringOf(IDS_CANNOT_CREATE_ON_STICK));
    return false;
  }
  return CopyFolder(stick, paths.target, paths.staged);
}

// Writes every record into the staging folder; false when one failed (its message shown).
bool WriteRecords(const SaveStick& stick, std::span<const uint8_t> container,
                  const std::string& staging) {
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(container, offset);) {
    const auto record = NextRecord(container, offset);
    if (!record) return false;  // not reached: the container was validated
    if (WriteSaveRecord(stick, *record, staging) < 0) return false;
    offset += record->size;
  }
  return true;
}

// Puts the staged save in the target's place, keeping what was there until that has worked.
// False (with the message shown) when the target is as it was.
bool SwapIn(const SaveStick& stick, const InstallPaths& paths, bool& replaced) {
  platform::Platform& files = stick.platform;
  replaced = Exists(stick, paths.target);
  bool placed = false;
  if (Exists(stick, paths.staged)) {
    if (!replaced) {
      placed = files.MovePath(paths.staged, paths.target);
    } else {
      files.CreateFolder(paths.replaced);
      if (files.MovePath(paths.target, paths.replacedSave)) {
        placed = files.MovePath(paths.staged, paths.target);
        if (!placed) files.MovePath(paths.replacedSave, paths.target);
      }
      // Empty again unless it holds the earlier save (replaced, or not put back: then the
      // next install puts it back).
      files.RemoveFolder(paths.replaced);
    }
  }
  if (!placed) ShowMessage(stick.host, StringOf(IDS_SAVE_NOT_REPLACED));
  return placed;
}

}  // namespace

int64_t WriteSaveRecord(const SaveStick& stick, const ContainerRecord& record,
                        const std::string& baseFolder) {
  if (record.kind != kRecordFolder && record.kind != kRecordFile) {
    ShowMessage(stick.host, StringOf(IDS_SAVE_OLD_BETA_STYLE));
    return -1;
  }
  std::u16string name;
  for (const char c : record.name)
    name += static_cast<char16_t>(static_cast<unsigned char>(c));
  const int code = stick.files.WriteToStick(name, record.data.data(), record.length, record.kind,
                                            StickSaves, baseFolder);
  if (code == 0) return static_cast<int64_t>(record.size);
  // Every failure ends the install: a save with a file missing would replace a whole one.
  ShowWriteFailure(stick, code, record.length, stick.files.Written());
  return -1;
}

int InstallSave(const SaveStick& stick, std::span<uint8_t> buffer, bool ask,
                SaveInstallReport* report) {
  SaveInstallReport done;
  if (!report) report = &done;
  stick.drive.RefreshFreeSpace();

  const auto container = ContainerInBuffer(buffer);
  if (!container) {
    ShowMessage(stick.host, StringOf(IDS_SAVE_CORRUPT));
    return kContainerNotAContainer;
  }
  const ContainerVerdict verdict = CheckAndValidateContainer(*container);
  if (!verdict.ok()) {
    ShowMessage(stick.host, StringOf(verdict.messageId));
    return verdict.installResult;
  }
  report->folder = verdict.folderName;
  report->title = ContainerTitle(
      std::span<const uint8_t, kContainerHeaderSize>(container->data(), kContainerHeaderSize));

  const std::string saveData = SaveDataFolder(stick.drive);
  const InstallPaths paths = PathsOf(saveData, report->folder);
  if (!saveData.empty() && !CleanUpEarlierInstall(stick, saveData, paths)) return -1;

  // An earlier save is copied into the staging folder and the new one written over the copy.
  const auto earlier = saveData.empty() ? std::nullopt : stick.platform.QueryPath(paths.target);
  const bool earlierSave = earlier && earlier->kind == platform::PathKind::Folder;
  const uint64_t earlierBytes = earlierSave ? FolderSize(stick.platform, paths.target).bytes : 0;
  uint64_t counted = 0;
  if (ask && SaveExistsOnStick(stick.platform, stick.drive, report->folder)) {
    const std::string question =
        StringOf(IDS_SAVE_EXISTS_ON_PSP) + "\n\n" + report->title + "\n" + report->folder;
    if (!AskYesNo(stick.host, question)) {
      report->declined = true;
      return 0;
    }
    counted = earlierBytes;
  }
  if (!HasRoom(stick, container->size(), counted,
               StagingBytes(stick, *container, saveData, earlierSave, earlierBytes)))
    return -1;
  if (saveData.empty()) {
    ShowMessage(stick.host, StringOf(IDS_CANNOT_CREATE_ON_STICK));
    return -1;
  }

  if ((earlierSave && !StageEarlierSave(stick, paths)) ||
      !WriteRecords(stick, *container, paths.staging) || !SwapIn(stick, paths, report->replaced)) {
    RemoveIfPresent(stick, paths.staging);
    report->replaced = false;
    return -1;
  }
  report->installed = true;
  // The new save is in place; what is left is tidying up.
  RemoveIfPresent(stick, paths.staging);
  RemoveIfPresent(stick, paths.replaced);
  return 0;
}

}  // namespace pspkvx
