#include "ui/skin/SkinPicture.h"

#include "media/ImageLibrary.h"

namespace pspkvx {

std::optional<PixelImage> LoadSkinPicture(const std::string& path, std::string& error) {
  image::LoadedImage loaded = image::LoadImageFile(path);
  if (!loaded.bitmap) {
    error = loaded.error;
    return std::nullopt;
  }
  Picture picture;
  if (!image::ToPicture(loaded.bitmap.get(), picture)) {
    error = "cannot read the pixels of " + path;
    return std::nullopt;
  }
  PixelImage pixels(static_cast<int>(picture.width), static_cast<int>(picture.height));
  for (size_t i = 0; i < pixels.pixels.size(); ++i) {
    const uint8_t* p = picture.bgra.data() + 4 * i;
    pixels.pixels[i] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }
  return pixels;
}

std::vector<uint8_t> EncodeOpaquePng(const PixelImage& pixels) {
  if (pixels.Empty()) return {};
  image::Bitmap bitmap(FreeImage_Allocate(pixels.width, pixels.height, 24));
  if (!bitmap) return {};
  for (int y = 0; y < pixels.height; ++y) {
    // FreeImage keeps its rows bottom-up.
    BYTE* row = FreeImage_GetScanLine(bitmap.get(), pixels.height - 1 - y);
    const uint32_t* source = pixels.Row(y);
    for (int x = 0; x < pixels.width; ++x) {
      row[FI_RGBA_RED] = static_cast<BYTE>(source[x] >> 16);
      row[FI_RGBA_GREEN] = static_cast<BYTE>(source[x] >> 8);
      row[FI_RGBA_BLUE] = static_cast<BYTE>(source[x]);
      row += 3;
    }
  }
  return image::EncodeImage(bitmap.get(), FIF_PNG);
}

}  // namespace pspkvx
