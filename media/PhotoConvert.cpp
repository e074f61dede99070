#include "media/PhotoConvert.h"

#include <optional>
#include <utility>
#include <vector>

#include "base/StringTable.h"
#include "media/ExistingDestination.h"
#include "media/GroupFolders.h"
#include "media/ImageLibrary.h"
#include "media/PhotoSizes.h"
#include "psp/StickLayout.h"

namespace pspkvx {
namespace {

constexpr char kSep = platform::kPathSep;

bool Stopped(const ManualResetEvent* stop) {
  return stop && stop->IsSet();
}

// The last component of a path ('/' separates on every system, '\' on Windows too).
std::string LastComponent(const std::string& path) {
  const size_t separator = path.find_last_of(kSep == '/' ? "/" : "\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// A picture that could not be made into a JPEG: string 113, a blank line and the name.
void ShowUnsupported(const MediaStick& stick, const std::string& name) {
  ShowMessage(stick.host, StringOf(IDS_IMAGE_UNSUPPORTED) + "\r\n\r\n" + name);
}

// The source at the size and with the cut of its mode, taken over (the box filter throughout).
// Null when FreeImage could not make it.
image::Bitmap Scale(image::Bitmap source, const PhotoSize& size) {
  FIBITMAP* const pixels = source.get();
  const unsigned width = FreeImage_GetWidth(pixels);
  const unsigned height = FreeImage_GetHeight(pixels);
  const PhotoRect whole{0, 0, size.scaledWidth, size.scaledHeight};
  const int keptWidth = static_cast<int>(size.width);
  const int keptHeight = static_cast<int>(size.height);
  if (!size.Scales(width, height)) {
    if (size.kept == whole) return source;
    return image::Bitmap(
        FreeImage_Copy(pixels, static_cast<int>(size.kept.left), static_cast<int>(size.kept.top),
                       static_cast<int>(size.kept.right), static_cast<int>(size.kept.bottom)));
  }
  if (size.kept == whole)
    return image::Bitmap(FreeImage_Rescale(pixels, keptWidth, keptHeight, FILTER_BOX));
  // Only the part that is kept is scaled: the whole scaled picture can be far larger than the
  // source (a tall, thin picture covering the screen is 480 pixels wide and millions high).
  const PhotoRect from = SourceRectOfKept(size, width, height);
  return image::Bitmap(FreeImage_RescaleRect(
      pixels, keptWidth, keptHeight, static_cast<int>(from.left), static_cast<int>(from.top),
      static_cast<int>(from.right), static_cast<int>(from.bottom), FILTER_BOX, FI_RESCALE_DEFAULT));
}

// The JPEG's path on the stick (the photo folder and its group folder made), or empty when
// there is no stick or the group is not a name the stick can hold.
std::string Destination(const MediaStick& stick, const std::string& subfolder,
                        const std::string& relative) {
  if (!subfolder.empty() && !StickNameProblem(subfolder).empty()) return "";
  std::string path = stick.files.GetStickPath(StickPhotos, relative);
  if (!path.empty() && !subfolder.empty())
    MakeFolders(stick.platform, platform::FolderOfPath(path));
  return path;
}

}  // namespace

std::string PhotoJpegName(const std::string& sourcePath) {
  const std::string name = LastComponent(sourcePath);
  const size_t dot = name.rfind('.');
  return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + ".jpg";
}

int ConvertPhoto(const MediaStick& stick, const std::string& sourcePath, int mode,
                 const std::string& subfolder, const ManualResetEvent* stop,
                 PhotoOutcome* outcome) {
  PhotoOutcome ignored;
  PhotoOutcome& out = outcome ? *outcome : ignored;
  out = {};
  IMediaWindow& window = stick.window;
  const auto finish = [&window](int result) {
    window.SetStatusText("");
    return result;
  };

  window.SetProgress(5);
  const std::string name = LastComponent(sourcePath);
  window.SetStatusText(StringOf(IDS_CONVERTING_IMAGE) + " \"" + name + "\"");
  if (Stopped(stop)) return finish(PhotoStopped);

  image::LoadedImage loaded = image::LoadImageFile(sourcePath);
  if (!loaded.bitmap) {
    out.error = loaded.error;
    // No box for a file that is not a picture, but the status line says why nothing came of
    // it instead of still saying that it is being converted.
    if (loaded.failure != image::LoadFailure::NotLoaded) {
      window.SetStatusText(out.error);
      return PhotoUnreadable;
    }
    ShowUnsupported(stick, name);
    return finish(PhotoUnreadable);
  }
  window.SetProgress(20);
  const PhotoSize size = PhotoSizeFor(mode, FreeImage_GetWidth(loaded.bitmap.get()),
                                      FreeImage_GetHeight(loaded.bitmap.get()));
  if (Stopped(stop)) return finish(PhotoStopped);

  const std::string jpegName = PhotoJpegName(sourcePath);
  image::Bitmap picture = image::ToJpegBitmap(Scale(std::move(loaded.bitmap), size));
  if (!picture) {
    ShowUnsupported(stick, jpegName);
    return finish(PhotoFailed);
  }
  window.SetProgress(30);

  const std::string relative = subfolder.empty() ? jpegName : subfolder + kSep + jpegName;
  std::string destination = Destination(stick, subfolder, relative);
  if (destination.empty()) {
    ShowMessage(stick.host, StringOf(IDS_CANNOT_CREATE_ON_STICK) + "\r\n" + relative);
    return finish(PhotoFailed);
  }
  if (stick.platform.QueryPath(destination)) {
    std::optional<std::string> chosen =
        AskExistingDestination(stick, destination, LastComponent(destination));
    if (!chosen) {
      out = {destination, size.width, size.height, ""};
      return finish(PhotoSkipped);
    }
    destination = std::move(*chosen);
  }
  if (Stopped(stop)) return finish(PhotoStopped);

  // Made whole in memory and put in place by a rename: the file there stays until then.
  const std::vector<uint8_t> jpeg = image::EncodeImage(picture.get(), FIF_JPEG, JPEG_DEFAULT);
  picture.reset();
  if (jpeg.empty() || !platform::ReplaceFileAtomically(destination, jpeg.data(), jpeg.size())) {
    ShowUnsupported(stick, LastComponent(destination));
    return finish(PhotoFailed);
  }
  window.SetProgress(100);
  out = {destination, size.width, size.height, ""};
  return finish(PhotoConverted);
}

}  // namespace pspkvx
