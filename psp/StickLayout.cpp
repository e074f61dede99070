#include "psp/StickLayout.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <unordered_set>

#include "base/StringTable.h"
#include "psp/PspDrive.h"

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

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

std::string UpperCased(std::string text) {
  for (char& c : text)
    c = UpperAscii(c);
  return text;
}

// A name a save container hands in, with either separator written as the platform's.
std::string WithPlatformSeparators(std::string name) {
  for (char& c : name)
    if (c == '\\' || c == '/') c = kSep;
  return name;
}

// True when a relative name stays inside the folder it is joined to: no ".." component, no
// drive prefix, no NUL.
bool StaysInsideFolder(const std::string& name) {
  if (name.find('\0') != std::string::npos || name.find(':') != std::string::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find(kSep, start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

// folder + one separator + name, whatever separators name starts with.
std::string JoinOnce(const std::string& folder, const std::string& name) {
  const size_t first = name.find_first_not_of(kSep);
  return folder + kSep + (first == std::string::npos ? "" : name.substr(first));
}

// A text with each "%i" replaced by the next value, in full (values may pass 32 bits).
std::string FillIntegers(const char* format, std::initializer_list<long long> values) {
  std::string out;
  auto value = values.begin();
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 'i' && value != values.end()) {
      out += std::to_string(*value++);
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
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
    taken.insert(UpperCased(entry.name));
  const char* format = avc ? "MAQ%5.5i.MP4" : "M4V%5.5i.MP4";
  for (int n = 1; n <= kLastVideoNumber; ++n) {
    char candidate[16];
    std::snprintf(candidate, sizeof candidate, format, n);
    if (!taken.count(candidate)) return candidate;
  }
  return "";
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
      return FillIntegers(StringText(IDS_STICK_UNKNOWN_WRITE_ERROR),
                          {code, static_cast<long long>(length), static_cast<long long>(written)});
  }
}

std::string CPspDrive::NextVideoNameFor(const std::string& source, const std::string& target,
                                        bool avc) const {
  if (source.empty() || target.empty()) return "";
  const std::string root = StickRoot();
  if (root.empty()) return "";
  return NextVideoName(platform_, root + VideoFolder(avc) + kSep, avc);
}

std::string CPspDrive::GetStickPath(int kind, const std::string& name) const {
  if (kind == StickFullPath) return name;
  if (kind == StickGameUpdate) return "";
  const std::string relative = StickFolder(kind);
  const std::string root = StickRoot();
  if (relative.empty() || root.empty()) return "";
  const std::string folder = root + relative;
  MakeFolders(platform_, folder);
  if (kind == StickMpeg4Video || kind == StickAvcVideo) {
    const std::string video = NextVideoName(platform_, folder + kSep, kind == StickAvcVideo);
    return video.empty() ? "" : folder + kSep + video;
  }
  return folder + kSep + name;
}

int CPspDrive::WriteToStick(const std::u16string& name, const void* data, uint64_t length,
                            int write, int kind, const std::string& baseFolder) {
  std::string narrow;
  for (char16_t c : name)
    narrow += static_cast<char>(c & 0xFF);
  if (narrow.empty()) return -3;
  narrow = WithPlatformSeparators(narrow);
  if (!StaysInsideFolder(narrow)) return -1;

  std::string folder = baseFolder;
  if (folder.empty()) {
    // Without a base folder, kind 6 writes into the MPEG-4 video folder.
    const std::string relative = StickFolder(kind == StickFullPath ? StickMpeg4Video : kind);
    const std::string root = StickRoot();
    if (relative.empty() || root.empty()) return -1;
    folder = root + relative;
  }
  MakeFolders(platform_, folder);
  const std::string path = JoinOnce(folder, narrow);

  if (write != 1) {
    MakeFolders(platform_, path);
    SetLastFile(path + kSep);
    return 0;
  }
  MakeFolders(platform_, platform::FolderOfPath(path));
  m_nWritten = 0;
  const auto written = platform_.WriteWholeFile(path, data, length);
  if (!written) return -1;
  m_nWritten = *written;
  SetLastFile(path);
  return *written < length ? -2 : 0;
}

std::string CPspDrive::FreeSpaceText() const {
  if (!IsReady()) return "";
  const float freeMb = static_cast<float>(m_nFreeBytes.load()) / 1024.0f / 1024.0f;
  const uint64_t capacityMb = (m_nTotalBytes.load() + 999999) / 1000000;
  const int capacity = capacityMb > uint64_t(INT_MAX) ? INT_MAX : static_cast<int>(capacityMb);
  char text[96];
  std::snprintf(text, sizeof text, StringText(IDS_FREE_SPACE), static_cast<double>(freeMb),
                capacity);
  return text;
}

int CPspDrive::UsedPercent() const {
  const uint64_t total = m_nTotalBytes.load();
  const uint64_t free = m_nFreeBytes.load();
  if (!IsReady() || total == 0 || free > total) return 0;
  const double used = 100.0 - static_cast<double>(free) / static_cast<double>(total) * 100.0;
  return static_cast<int>(used);
}

}  // namespace pspkvx
