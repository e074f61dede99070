#include "saves/IconPicture.h"

#include <FreeImage.h>

#include <cstring>
#include <memory>

namespace pspkvx {
namespace {

struct MemoryDeleter {
  void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};
struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};

}  // namespace

bool DecodeIconPicture(std::span<const uint8_t> bytes, IconPicture& picture) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
  // FreeImage only reads from the memory it is given here.
  std::unique_ptr<FIMEMORY, MemoryDeleter> memory(
      FreeImage_OpenMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
  if (!memory) return false;
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(memory.get(), 0);
  if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) return false;
  std::unique_ptr<FIBITMAP, BitmapDeleter> loaded(
      FreeImage_LoadFromMemory(format, memory.get(), 0));
  if (!loaded) return false;
  std::unique_ptr<FIBITMAP, BitmapDeleter> rgba(FreeImage_ConvertTo32Bits(loaded.get()));
  if (!rgba) return false;

  const unsigned width = FreeImage_GetWidth(rgba.get());
  const unsigned height = FreeImage_GetHeight(rgba.get());
  IconPicture decoded;
  decoded.width = width;
  decoded.height = height;
  decoded.bgra.resize(static_cast<size_t>(width) * height * 4);
  // FreeImage keeps the bottom row first; 32-bit pixels are blue, green, red, alpha in memory
  // on little-endian machines.
  for (unsigned y = 0; y < height; ++y)
    std::memcpy(decoded.bgra.data() + static_cast<size_t>(y) * width * 4,
                FreeImage_GetScanLine(rgba.get(), static_cast<int>(height - 1 - y)),
                static_cast<size_t>(width) * 4);
  picture = std::move(decoded);
  return true;
}

}  // namespace pspkvx
