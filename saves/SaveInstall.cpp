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

// The data bytes of every file record: what the staging folder takes beside an earlier save.
uint64_t FileBytes(std::span<const uint8_t> container) {
  uint64_t bytes = 0;
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(container, offset);) {
    const auto record = NextRecord(container, offset);
    if (!record) break;
    bytes += record->length;
    offset += record->size;
  }
  return bytes;
}

void ShowNotEnoughSpace(const SaveStick& stick, uint64_t available, uint64_t needed) {
  ShowMessage(stick.host,
              FormatString(IDS_NOT_ENOUGH_SPACE, {FormatSize(available), FormatSize(needed)}));
}

// True when the stick has room for the container (see InstallSave).
bool HasRoom(const SaveStick& stick, std::span<const uint8_t> container, uint64_t existing) {
  stick.drive.RefreshFreeSpace();
  const uint64_t free = stick.drive.StoredFreeBytes();
  if (container.size() > free + existing) {
    ShowNotEnoughSpace(stick, free + existing, container.size());
    return false;
  }
  const uint64_t staging = FileBytes(container);
  if (staging > free) {
    ShowNotEnoughSpace(stick, free, staging);
    return false;
  }
  return true;
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
  CPspDrive& drive = stick.drive;
  const int code = stick.files.WriteToStick(name, record.data.data(), record.length, record.kind,
                                            StickSaves, baseFolder);
  if (code == 0) return static_cast<int64_t>(record.size);
  bool stickFull = false;
  if (code == -2) {
    drive.RefreshFreeSpace();
    stickFull = drive.StoredFreeBytes() <= record.length;
  }
  // Every failure ends the install: a save with a file missing would replace a whole one.
  ShowMessage(stick.host,
              WriteToStickMessage(code, record.length, stick.files.Written(), stickFull));
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

  uint64_t existing = 0;
  if (ask && SaveExistsOnStick(stick.platform, stick.drive, report->folder)) {
    const std::string question =
        StringOf(IDS_SAVE_EXISTS_ON_PSP) + "\n\n" + report->title + "\n" + report->folder;
    if (!AskYesNo(stick.host, question)) {
      report->declined = true;
      return 0;
    }
    existing = FolderSize(stick.platform, paths.target).bytes;
  }
  if (!HasRoom(stick, *container, existing)) return -1;
  if (saveData.empty()) {
    ShowMessage(stick.host, StringOf(IDS_CANNOT_CREATE_ON_STICK));
    return -1;
  }

  if (!WriteRecords(stick, *container, paths.staging) || !SwapIn(stick, paths, report->replaced)) {
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
