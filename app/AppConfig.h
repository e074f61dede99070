// The one settings record of the process, stored as "PSPKV.CFG" in the program folder: 1664
// bytes laid out exactly as below (little-endian, 32-bit integers on 4-byte boundaries, texts
// NUL-terminated and zero-padded), followed in the file by its 4-byte RecordChecksum.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pspkvx {

struct AppConfig {
  char Magic[10];  // "PSPKVXQ0" + two-digit format version, no NUL
  uint8_t Reserved10[2];
  int32_t FileListColumnWidths[5];  // column 0 is a hidden key column
  int32_t SecondListColumnWidths[5];
  char PcFolder[260];
  int32_t PhotoCopyMode;  // 0..3
  int32_t SearchForPsp;   // 1 = search every letter, 0 = only PspDriveLetter
  char PspDriveLetter;    // 'D'..'Z'
  uint8_t Reserved321[3];
  int32_t NoUpdateCheckAtStart;
  int32_t WindowLeft;
  int32_t WindowTop;
  int32_t WindowWidth;
  int32_t WindowHeight;
  int32_t ListFontHeight;
  char LastAddFolder[260];
  char OnlineUserName[256];
  char OnlinePassword[256];
  char ConvertFolder[260];
  uint8_t Reserved1380[260];
  uint32_t VideoOptions;  // see the VideoOptions bits below
  int32_t Reserved1644;   // written with 1 by the defaults, never read
  int32_t OnlineRegion;   // 0 USA, 1 European, 2 Japanese, 3 all
  uint32_t ListViewToggles;
  uint32_t ScreenSize;  // high half 480, low half 272
  uint8_t Reserved1660[4];
};

static_assert(std::endian::native == std::endian::little,
              "the record is stored as it lies in memory, which must be little-endian");
static_assert(sizeof(AppConfig) == 1664);
static_assert(offsetof(AppConfig, Magic) == 0);
static_assert(offsetof(AppConfig, FileListColumnWidths) == 12);
static_assert(offsetof(AppConfig, SecondListColumnWidths) == 32);
static_assert(offsetof(AppConfig, PcFolder) == 52);
static_assert(offsetof(AppConfig, PhotoCopyMode) == 312);
static_assert(offsetof(AppConfig, SearchForPsp) == 316);
static_assert(offsetof(AppConfig, PspDriveLetter) == 320);
static_assert(offsetof(AppConfig, NoUpdateCheckAtStart) == 324);
static_assert(offsetof(AppConfig, WindowLeft) == 328);
static_assert(offsetof(AppConfig, WindowTop) == 332);
static_assert(offsetof(AppConfig, WindowWidth) == 336);
static_assert(offsetof(AppConfig, WindowHeight) == 340);
static_assert(offsetof(AppConfig, ListFontHeight) == 344);
static_assert(offsetof(AppConfig, LastAddFolder) == 348);
static_assert(offsetof(AppConfig, OnlineUserName) == 608);
static_assert(offsetof(AppConfig, OnlinePassword) == 864);
static_assert(offsetof(AppConfig, ConvertFolder) == 1120);
static_assert(offsetof(AppConfig, Reserved1380) == 1380);
static_assert(offsetof(AppConfig, VideoOptions) == 1640);
static_assert(offsetof(AppConfig, Reserved1644) == 1644);
static_assert(offsetof(AppConfig, OnlineRegion) == 1648);
static_assert(offsetof(AppConfig, ListViewToggles) == 1652);
static_assert(offsetof(AppConfig, ScreenSize) == 1656);
static_assert(offsetof(AppConfig, Reserved1660) == 1660);

inline constexpr char kConfigFileName[] = "PSPKV.CFG";
inline constexpr char kConfigMagic[] = "PSPKVXQ001";  // the program's own magic
inline constexpr char kConfigMagicPrefix[] = "PSPKVXQ0";
inline constexpr int kConfigFormatVersion = 1;
inline constexpr size_t kConfigRecordSize = sizeof(AppConfig);
inline constexpr size_t kConfigFileSize = kConfigRecordSize + 4;

// VideoOptions bits.
inline constexpr uint32_t VideoQualityMask = 0x0F;  // quality level 0..5
inline constexpr uint32_t VideoWideScreen = 0x10;   // 16:9 (clear: 4:3)
inline constexpr uint32_t VideoAvc = 0x200;         // AVC instead of MPEG-4
inline constexpr uint32_t VideoAvcNoticeShown = 0x400;
inline constexpr uint32_t kMaxVideoQuality = 5;

// ListViewToggles bits: the display style of each page's lists (the style buttons flip them).
// The photo lists' pictures are small on plain rows.
inline constexpr uint32_t kPlainPhotoRowsBit = 0x40;

inline constexpr int32_t kDefaultColumnWidths[5] = {0, 184, 86, 172, 400};

// Writes the defaults into every field; the two folder fields get documentsFolder (cut to
// empty when it does not fit its field).
void SetConfigDefaults(AppConfig& config, const std::string& documentsFolder);

// Fills the record from programFolder/PSPKV.CFG, or with the defaults when the file is
// missing, short, of a newer format, of another program, or fails its checksum.
// Returns the first-run flag: true when the defaults were used.
bool LoadConfig(AppConfig& config, const std::string& programFolder,
                const std::string& documentsFolder);
// The same over a file's bytes already read (an empty span: no file).
bool LoadConfigBytes(AppConfig& config, std::span<const uint8_t> file,
                     const std::string& documentsFolder);

// Why programFolder/PSPKV.CFG cannot be read, naming the path: the folder is not a folder, or
// the file is a folder, a pipe or unreadable. Empty when the file is missing or can be read (a
// damaged record still gives the defaults), so that a caller can tell a first run from a file
// that is there but cannot be used.
std::string ConfigFileProblem(const std::string& programFolder);

// Stamps the program's own magic and replaces programFolder/PSPKV.CFG atomically, readable and
// writable by its owner only (rw-------, whatever mode an earlier file had), as it holds the
// online password. Returns false when the file could not be written; the previous file is then
// left as it was.
bool SaveConfig(AppConfig& config, const std::string& programFolder);

// A NUL-terminated text field as a string (never reads past the field).
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n] != '\0')
    ++n;
  return std::string(field, n);
}

// Stores text in a field, zero-padding the rest. False (field unchanged) when it does not fit
// with its terminating NUL.
template <size_t N>
bool SetFieldText(char (&field)[N], const std::string& text) {
  if (text.size() >= N || text.find('\0') != std::string::npos) return false;
  for (size_t i = 0; i < N; ++i)
    field[i] = i < text.size() ? text[i] : '\0';
  return true;
}

}  // namespace pspkvx
