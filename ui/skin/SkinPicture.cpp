#include "ui/skin/SkinPicture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "media/ImageLibrary.h"

namespace pspkvx {
namespace {

uint32_t Little(const unsigned char* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | p[i];
  return value;
}

// Whether a BMP file ends before its pixels do. The picture loader fills what is missing with
// black instead of failing, and a skin cut short (a broken copy, a full disk) would give the
// window a black face.
bool BmpCutShort(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  unsigned char header[34];
  if (!file || std::fread(header, 1, sizeof header, file.get()) != sizeof header) return false;
  if (header[0] != 'B' || header[1] != 'M') return false;
  const uint32_t compression = Little(header + 30, 4);
  if (compression != 0 && compression != 3) return false;  // packed pixels: sizes vary
  const uint64_t offset = Little(header + 10, 4);
  const uint64_t width =
      static_cast<uint32_t>(std::abs(static_cast<int32_t>(Little(header + 18, 4))));
  const uint64_t height =
      static_cast<uint32_t>(std::abs(static_cast<int32_t>(Little(header + 22, 4))));
  const uint64_t bits = Little(header + 28, 2);
  const uint64_t rowBytes = (width * bits + 31) / 32 * 4;
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(path, error);
  return !error && size < offset + rowBytes * height;
}

}  // namespace

std::optional<PixelImage> LoadSkinPicture(const std::string& path, std::string& error) {
  if (BmpCutShort(path)) {
    error = path + " is damaged: the file ends before its pixels do";
    return std::nullopt;
  }
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
