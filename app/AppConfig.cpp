#include "app/AppConfig.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "base/LittleEndian.h"
#include "base/RecordChecksum.h"
#include "platform/Platform.h"

namespace pspkvx {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Steps 2-6 of the load: true when the file holds a record this program may use.
bool ReadConfigFile(AppConfig& config, const std::string& path) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  auto* bytes = reinterpret_cast<unsigned char*>(&config);
  if (std::fread(bytes, 1, 10, file.get()) != 10) return false;
  const int version = (config.Magic[8] - '0') * 10 + (config.Magic[9] - '0');
  if (version > kConfigFormatVersion) return false;
  if (std::memcmp(config.Magic, kConfigMagicPrefix, 8) != 0) return false;
  if (std::fread(bytes + 10, 1, kConfigRecordSize - 10, file.get()) != kConfigRecordSize - 10)
    return false;
  unsigned char stored[4];
  if (std::fread(stored, 1, 4, file.get()) != 4) return false;
  return ReadLe32(stored) == RecordChecksum(bytes, kConfigRecordSize);
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
  std::memset(&config, 0, sizeof config);
  const bool valid = ReadConfigFile(config, platform::JoinPath(programFolder, kConfigFileName));
  if (!valid) SetConfigDefaults(config, documentsFolder);
  RestoreZeroWidths(config.FileListColumnWidths);
  RestoreZeroWidths(config.SecondListColumnWidths);
  return !valid;
}

bool SaveConfig(AppConfig& config, const std::string& programFolder) {
  std::memcpy(config.Magic, kConfigMagic, sizeof config.Magic);
  unsigned char file[kConfigFileSize];
  std::memcpy(file, &config, kConfigRecordSize);
  const uint32_t sum = RecordChecksum(file, kConfigRecordSize);
  WriteLe32(file + kConfigRecordSize, sum);
  return platform::ReplaceFileAtomically(platform::JoinPath(programFolder, kConfigFileName), file,
                                         sizeof file);
}

}  // namespace pspkvx
