#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace pspkvx::test {
namespace {

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

Bitmap Load(const std::string& path) {
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
  if (format == FIF_UNKNOWN) return nullptr;
  return Bitmap(FreeImage_Load(format, path.c_str(), 0));
}

}  // namespace

void WritePicture(const std::string& path, FREE_IMAGE_FORMAT format, unsigned width,
                  unsigned height, const PixelColour& colour, bool alpha) {
  const unsigned bytes = alpha ? 4 : 3;
  Bitmap bitmap(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height),
                                   static_cast<int>(bytes * 8)));
  ASSERT_TRUE(bitmap);
  for (unsigned y = 0; y < height; ++y) {
    // FreeImage keeps the bottom row first.
    BYTE* line = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(height - 1 - y));
    for (unsigned x = 0; x < width; ++x) {
      const Rgba c = colour(x, y);
      BYTE* pixel = line + x * bytes;
      pixel[FI_RGBA_RED] = c.red;
      pixel[FI_RGBA_GREEN] = c.green;
      pixel[FI_RGBA_BLUE] = c.blue;
      if (alpha) pixel[FI_RGBA_ALPHA] = c.alpha;
    }
  }
  ASSERT_TRUE(FreeImage_Save(format, bitmap.get(), path.c_str(), 0)) << path;
}

void WritePicture(const std::string& path, FREE_IMAGE_FORMAT format, unsigned width,
                  unsigned height, Rgba colour) {
  WritePicture(path, format, width, height, [colour](unsigned, unsigned) { return colour; });
}

PictureInfo ReadPictureInfo(const std::string& path) {
  PictureInfo info;
  const Bitmap bitmap = Load(path);
  if (!bitmap) return info;
  info.format = FreeImage_GetFileType(path.c_str(), 0);
  info.width = FreeImage_GetWidth(bitmap.get());
  info.height = FreeImage_GetHeight(bitmap.get());
  return info;
}

Rgba PixelOf(const std::string& path, unsigned x, unsigned y) {
  const Bitmap bitmap = Load(path);
  if (!bitmap) return {0, 0, 0, 0};
  const unsigned height = FreeImage_GetHeight(bitmap.get());
  if (x >= FreeImage_GetWidth(bitmap.get()) || y >= height) return {0, 0, 0, 0};
  RGBQUAD value{};
  if (!FreeImage_GetPixelColor(bitmap.get(), x, height - 1 - y, &value)) return {0, 0, 0, 0};
  return {value.rgbRed, value.rgbGreen, value.rgbBlue, 255};
}

bool Near(Rgba a, Rgba b, int tolerance) {
  return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
         std::abs(a.blue - b.blue) <= tolerance;
}

}  // namespace pspkvx::test
