#include "psp/StickLayout.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <unordered_set>

#include "base/Names.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "platform/NameCase.h"

namespace pspkvx {
namespace {

constexpr char kSep = platform::kPathSep;

std::string Folder(std::initializer_list<const char*> parts) {
  std::string path;
  for (const char* part : parts) {
    if (!path.empty()) path += kSep;
    path += part;
  }
  return path;
}

}  // namespace

std::string StickFolder(int kind) {
  switch (kind) {
    case StickSaves:
      return Folder({"PSP", "SAVEDATA"});
    case StickPhotos:
      return Folder({"PSP", "Photo"});
    case StickMpeg4Video:
      return VideoFolder(false);
    case StickAvcVideo:
      return VideoFolder(true);
    case StickMusic:
      return Folder({"PSP", "Music"});
    case StickGameUpdate:
      return Folder({"PSP", "GAME", "UPDATE"});
    default:
      return "";
  }
}

std::string VideoFolder(bool avc) {
  return Folder({"mp_root", avc ? "100anv01" : "100mnv01"});
}

int MakeFolders(platform::Platform& platform, const std::string& path) {
  if (path.empty()) return 0;
  for (size_t end = path.find(kSep);; end = path.find(kSep, end + 1)) {
    const std::string prefix = path.substr(0, end);
    if (!prefix.empty() && prefix.back() != ':' && prefix.back() != kSep)
      platform.CreateFolder(prefix);
    if (end == std::string::npos) break;
  }
  return 1;
}

std::string NextVideoName(const platform::Platform& platform, const std::string& folder, bool avc) {
  // One listing instead of a look-up per number; names compare upper-cased, as the PSP's FAT
  // volume does.
  std::unordered_set<std::string> taken;
  for (const platform::FolderEntry& entry : platform.ListFolder(folder))
    taken.insert(AsciiUpperCase(entry.name));
  for (int n = 1; n <= kLastVideoNumber; ++n) {
    char candidate[16];
    std::snprintf(candidate, sizeof candidate, avc ? "MAQ%5.5i.MP4" : "M4V%5.5i.MP4", n);
    if (!taken.count(candidate)) return candidate;
  }
  return "";
}

std::string FindOnStick(const platform::Platform& platform, const std::string& folder,
                        const std::string& relative) {
  return platform::FindIgnoringCase(platform, folder, relative);
}

std::string FormatSize(uint64_t bytes) {
  if (bytes < 10240) return std::to_string((bytes + 1023) / 1024) + " Kb";
  // Megabytes in single precision, as every list and message has shown them; 0.01 more when
  // that value falls short of the exact size (only above 2^24 bytes, where a float is coarse).
  float megabytes = static_cast<float>(bytes) / 1048576.0f;
  if (static_cast<double>(megabytes) * 1048576.0 < static_cast<double>(bytes)) megabytes += 0.01f;
  char text[64];
  std::snprintf(text, sizeof text, "%2.2fMb", static_cast<double>(megabytes));
  return text;
}

std::string WriteToStickMessage(int code, uint64_t length, uint64_t written, bool stickFull) {
  switch (code) {
    case -2:
      return StringOf(stickFull ? IDS_STICK_OUT_OF_SPACE : IDS_STICK_WRITE_FAILED);
    case -1:
      return StringOf(IDS_CANNOT_CREATE_ON_STICK);
    default:
      return FormatString(IDS_STICK_UNKNOWN_WRITE_ERROR, {code, length, written});
  }
}

}  // namespace pspkvx
