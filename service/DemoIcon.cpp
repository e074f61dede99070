#include "service/DemoIcon.h"

#include <FreeImage.h>

#include <cstdint>
#include <memory>

namespace pspkvx::service {
namespace {

uint32_t Fnv1a(const std::string& text) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : text)
    hash = (hash ^ c) * 16777619u;
  return hash;
}

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
struct MemoryDeleter {
  void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

}  // namespace

std::string MakeIconPng(const std::string& seed) {
  std::unique_ptr<FIBITMAP, BitmapDeleter> bitmap(FreeImage_Allocate(kIconWidth, kIconHeight, 24));
  if (!bitmap) return "";
  const uint32_t hash = Fnv1a(seed);
  const int r = 64 + int(hash & 0x7F), g = 64 + int((hash >> 7) & 0x7F),
            b = 64 + int((hash >> 14) & 0x7F);
  const int stripe = 6 + int((hash >> 21) % 14);
  for (int y = 0; y < kIconHeight; ++y) {
    BYTE* line = FreeImage_GetScanLine(bitmap.get(), y);
    for (int x = 0; x < kIconWidth; ++x) {
      // A diagonal stripe pattern over a vertical shade.
      const bool band = ((x + y) / stripe) % 2 == 0;
      const int shade = y * 48 / kIconHeight;
      line[FI_RGBA_RED] = static_cast<BYTE>(band ? r : 255 - r / 2);
      line[FI_RGBA_GREEN] = static_cast<BYTE>(band ? g : 255 - g / 2);
      line[FI_RGBA_BLUE] = static_cast<BYTE>((band ? b : 255 - b / 2) * (96 - shade) / 96);
      line += 3;
    }
  }
  std::unique_ptr<FIMEMORY, MemoryDeleter> memory(FreeImage_OpenMemory());
  if (!memory || !FreeImage_SaveToMemory(FIF_PNG, bitmap.get(), memory.get(), PNG_DEFAULT))
    return "";
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!FreeImage_AcquireMemory(memory.get(), &data, &size)) return "";
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace pspkvx::service
