#include "psp/PspStick.h"

#include <optional>

#include "base/Names.h"
#include "psp/StickLayout.h"

namespace pspkvx {
namespace {

constexpr char kSep = platform::kPathSep;

// A name a save container hands in, relative to its folder: without its leading separators and
// with either separator written as the platform's; none for a name that would leave its folder.
std::optional<std::string> RelativeStickName(const std::string& name) {
  std::string relative = name.substr(std::min(name.find_first_not_of("\\/"), name.size()));
  if (!RelativePathProblem(relative).empty()) return std::nullopt;
  for (char& c : relative)
    if (IsNameSeparator(c)) c = kSep;
  return relative;
}

}  // namespace

std::string PspStick::KindFolder(int kind) const {
  const std::string relative = StickFolder(kind);
  const std::string root = Root();
  if (relative.empty() || root.empty()) return "";
  // The root ends in its separator; FindOnStick adds one between folder and name.
  return FindOnStick(platform_, root.substr(0, root.size() - 1), relative);
}

std::string PspStick::NextVideoNameFor(const std::string& source, const std::string& target,
                                       bool avc) const {
  if (source.empty() || target.empty()) return "";
  const std::string folder = KindFolder(avc ? StickAvcVideo : StickMpeg4Video);
  if (folder.empty()) return "";
  return NextVideoName(platform_, folder + kSep, avc);
}

std::string PspStick::GetStickPath(int kind, const std::string& name) const {
  if (kind == StickFullPath) return name;
  if (kind == StickGameUpdate) return "";
  const std::string folder = KindFolder(kind);
  if (folder.empty()) return "";
  MakeFolders(platform_, folder);
  if (kind == StickMpeg4Video || kind == StickAvcVideo) {
    const std::string video = NextVideoName(platform_, folder + kSep, kind == StickAvcVideo);
    return video.empty() ? "" : folder + kSep + video;
  }
  return FindOnStick(platform_, folder, name);
}

std::string PspStick::FindSaveName(const std::string& name, const std::string& folder) const {
  const auto relative = RelativeStickName(name);
  return relative ? FindOnStick(platform_, folder, *relative) : "";
}

int PspStick::WriteToStick(const std::u16string& name, const void* data, uint64_t length, int write,
                           int kind, const std::string& baseFolder) {
  std::string narrow;
  for (char16_t c : name)
    narrow += static_cast<char>(c & 0xFF);
  if (narrow.empty()) return -3;
  const auto relative = RelativeStickName(narrow);
  if (!relative) return -1;

  // Without a base folder, kind 6 writes into the MPEG-4 video folder.
  const std::string folder =
      baseFolder.empty() ? KindFolder(kind == StickFullPath ? StickMpeg4Video : kind) : baseFolder;
  if (folder.empty()) return -1;
  MakeFolders(platform_, folder);
  const std::string path = FindOnStick(platform_, folder, *relative);

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

std::string PspStick::LastFile() const {
  std::lock_guard<std::mutex> lock(lastFileMutex_);
  return m_strLastFile;
}

void PspStick::SetLastFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(lastFileMutex_);
  m_strLastFile = path;
}

}  // namespace pspkvx
