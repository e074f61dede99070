#include "media/PhotoListPicture.h"

#include "media/ImageLibrary.h"

namespace pspkvx {
namespace {

// The file scaled to the list's size, as 24-bit colour or 8-bit grey; null when it does not
// load. A large JPEG is decoded at a fraction of its size that still covers the picture.
image::Bitmap ListBitmap(const std::string& path, bool plainRows) {
  const ListPictureSize size = PhotoListPictureSize(plainRows);
  image::LoadedImage loaded = image::LoadImageFile(path, size.width, size.height);
  if (!loaded.bitmap) return nullptr;
  return image::ToJpegBitmap(
      image::Bitmap(FreeImage_Rescale(loaded.bitmap.get(), static_cast<int>(size.width),
                                      static_cast<int>(size.height), FILTER_BOX)));
}

}  // namespace

ListPictureSize PhotoListPictureSize(bool plainRows) {
  return plainRows ? ListPictureSize{45, 34} : ListPictureSize{96, 72};
}

std::optional<Picture> MakePhotoListPicture(const std::string& path, bool plainRows) {
  const image::Bitmap bitmap = ListBitmap(path, plainRows);
  Picture picture;
  if (!bitmap || !image::ToPicture(bitmap.get(), picture)) return std::nullopt;
  return picture;
}

std::optional<std::string> MakePhotoListPng(const std::string& path, bool plainRows) {
  const image::Bitmap bitmap = ListBitmap(path, plainRows);
  if (!bitmap) return std::nullopt;
  const std::vector<uint8_t> png = image::EncodeImage(bitmap.get(), FIF_PNG, PNG_DEFAULT);
  if (png.empty()) return std::nullopt;
  return std::string(png.begin(), png.end());
}

}  // namespace pspkvx
