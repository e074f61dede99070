#include "media/MediaTypes.h"

#include <algorithm>
#include <cctype>

#include "base/Names.h"

namespace pspkvx {
namespace {

const std::vector<std::string> kVideo = {"avi", "mpg", "mpeg", "vob", "wmv", "mov",
                                         "mpe", "3gp", "ogm",  "asf", "smr", "mp4"};
const std::vector<std::string> kMusic = {"mp3", "ac3"};

}  // namespace

std::string VideoThumbnailPath(const std::string& videoPath) {
  const std::string extension = LowerExtension(videoPath);
  if (extension == "thm") return "";
  const std::string base = extension.empty() && (videoPath.empty() || videoPath.back() != '.')
                               ? videoPath
                               : videoPath.substr(0, videoPath.size() - extension.size() - 1);
  return base + ".thm";
}

std::string LowerExtension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t sep = path.find_last_of("\\/");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return "";
  std::string extension = path.substr(dot + 1);
  for (char& c : extension)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

const std::vector<std::string>& PhotoExtensions() {
  static const std::vector<std::string> kPhotos = {
      "BMP", "CUT",  "DDS", "GIF",   "HDR", "ICO",  "IFF",  "LBM", "JNG", "JPG",
      "JIF", "JPEG", "JPE", "KOA",   "MNG", "PBM",  "PCD",  "PCX", "PGM", "PNG",
      "PPM", "RAS",  "TGA", "TARGA", "TIF", "TIFF", "WBMP", "XBM", "XPM"};
  return kPhotos;
}

bool AcceptsFileType(int kind, const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (extension.empty()) return false;
  switch (kind) {
    case MediaVideo:
      return std::find(kVideo.begin(), kVideo.end(), extension) != kVideo.end();
    case MediaMusic:
      return std::find(kMusic.begin(), kMusic.end(), extension) != kMusic.end();
    case MediaPhoto: {
      const std::string upper = AsciiUpperCase(extension);
      const auto& photos = PhotoExtensions();
      return std::find(photos.begin(), photos.end(), upper) != photos.end();
    }
    default:
      return false;
  }
}

}  // namespace pspkvx
