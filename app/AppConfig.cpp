#include "app/AppConfig.h"

#include <cstring>

#include "base/FileRead.h"
#include "base/LittleEndian.h"
#include "base/RecordChecksum.h"
#include "platform/Platform.h"

namespace pspkvx {
namespace {

// A configuration file is one record and its checksum; anything far larger is not one.
constexpr uint64_t kMaxConfigFileBytes = 64 * 1024;

// True when the file's bytes hold a record this program may use: the magic's format version is not
// newer than ours, the magic is the program's, and the checksum after the record matches.
bool ParseConfigRecord(AppConfig& config, std::span<const uint8_t> file) {
  if (file.size() < kConfigFileSize) return false;
  const uint8_t* bytes = file.data();
  const int version = (bytes[8] - '0') * 10 + (bytes[9] - '0');
  if (version > kConfigFormatVersion) return false;
  if (std::memcmp(bytes, kConfigMagicPrefix, 8) != 0) return false;
  if (ReadLe32(bytes + kConfigRecordSize) != RecordChecksum(bytes, kConfigRecordSize)) return false;
  std::memcpy(&config, bytes, kConfigRecordSize);
  return true;
}

void RestoreZeroWidths(int32_t (&widths)[5]) {
  for (int i = 1; i < 5; ++i)
    if (widths[i] == 0) widths[i] = kDefaultColumnWidths[i];
}

}  // namespace

void SetConfigDefaults(AppConfig& config, const std::string& documentsFolder) {
  std::memset(&config, 0, sizeof config);
  std::memcpy(config.Magic, kConfigMagic, sizeof config.Magic);
  for (int i = 0; i < 5; ++i)
    config.FileListColumnWidths[i] = config.SecondListColumnWidths[i] = kDefaultColumnWidths[i];
  SetFieldText(config.PcFolder, documentsFolder);
  config.PhotoCopyMode = 0;
  config.SearchForPsp = 1;
  config.PspDriveLetter = 'D';
  config.NoUpdateCheckAtStart = 0;
  config.WindowLeft = -1;
  config.WindowTop = -1;
  config.WindowWidth = 780;
  config.WindowHeight = 570;
  config.ListFontHeight = 15;
  SetFieldText(config.ConvertFolder, documentsFolder);
  config.VideoOptions = 2;
  config.Reserved1644 = 1;
  config.OnlineRegion = 3;
  config.ListViewToggles = 1;
  config.ScreenSize = 0x01E00110;
}

bool LoadConfig(AppConfig& config, const std::string& programFolder,
                const std::string& documentsFolder) {
  const WholeFile file =
      ReadWholeFile(platform::JoinPath(programFolder, kConfigFileName), kMaxConfigFileBytes);
  return LoadConfigBytes(
      config, file.ok() ? std::span<const uint8_t>(file.bytes) : std::span<const uint8_t>(),
      documentsFolder);
}

bool LoadConfigBytes(AppConfig& config, std::span<const uint8_t> file,
                     const std::string& documentsFolder) {
  std::memset(&config, 0, sizeof config);
  const bool valid = ParseConfigRecord(config, file);
  if (!valid) SetConfigDefaults(config, documentsFolder);
  RestoreZeroWidths(config.FileListColumnWidths);
  RestoreZeroWidths(config.SecondListColumnWidths);
  return !valid;
}

std::string ConfigFileProblem(const std::string& programFolder) {
  if (auto problem = FolderProblem(programFolder, true); !problem.empty()) return problem;
  const WholeFile file =
      ReadWholeFile(platform::JoinPath(programFolder, kConfigFileName), kMaxConfigFileBytes);
  switch (file.failure) {
    case FileReadFailure::Folder:
    case FileReadFailure::NotAFile:
    case FileReadFailure::Unreadable:
      return file.error;
    default:  // missing, too large for a record, or read
      return "";
  }
}

bool SaveConfig(AppConfig& config, const std::string& programFolder) {
  std::memcpy(config.Magic, kConfigMagic, sizeof config.Magic);
  unsigned char file[kConfigFileSize];
  std::memcpy(file, &config, kConfigRecordSize);
  const uint32_t sum = RecordChecksum(file, kConfigRecordSize);
  WriteLe32(file + kConfigRecordSize, sum);
  // The record holds the online password: readable by its owner only.
  return platform::ReplaceFileAtomically(platform::JoinPath(programFolder, kConfigFileName), file,
                                         sizeof file, platform::FileAccess::OwnerOnly);
}

}  // namespace pspkvx
