// FreeImage for the core's pictures: an owner for each handle, the one lock for the calls that
// FreeImage does not make safe between threads, loading a picture file whose format is
// recognised, the conversions to what a JPEG holds and to plain pixels, encoding into memory.
// For the core's .cpp files (FreeImage is linked into the core privately).
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "media/Picture.h"

namespace pspkvx::image {

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

struct MemoryDeleter {
  void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};
using Memory = std::unique_ptr<FIMEMORY, MemoryDeleter>;

// Held around every FreeImage call that uses state shared between threads: the format of a
// file name (it runs strtok over the plugins' extension lists), the text of a metadata tag (one
// static buffer) and the message callback. Loading, scaling, converting and saving bitmaps of
// their own need no lock, so the batch and the list pictures work side by side.
std::unique_lock<std::mutex> LockFreeImage();

enum class LoadFailure {
  None,
  NotAFile,      // nothing there, a folder, a pipe or a device, or it cannot be opened
  Unrecognised,  // neither its content nor its name is a format FreeImage reads, or only its
                 // name is and it does not load
  NotLoaded,     // its content is of a format FreeImage reads, but it does not load (damaged)
};

struct LoadedImage {
  Bitmap bitmap;
  LoadFailure failure = LoadFailure::None;
  std::string error;  // why it failed, naming the path; empty on success
};

// Loads the picture file at path (symbolic links followed; a pipe or a device is never
// opened). The format comes from the content, or, for a format without a signature (TGA), from
// the name's extension. With a minimum size, a JPEG is decoded at the smallest of its full
// size, a half, a quarter and an eighth that still covers minWidth x minHeight (much faster for
// small pictures of large photos).
LoadedImage LoadImageFile(const std::string& path, unsigned minWidth = 0, unsigned minHeight = 0);

// Decodes an image held in memory, its format from its content; null when it is not one.
Bitmap DecodeImage(std::span<const uint8_t> bytes);

// The bitmap in FreeImage's standard type (8 bits per channel or a palette), taken over: 16-bit
// channels narrowed, floating-point colour tone-mapped, single-channel data (16-bit grey, float)
// scaled into 8-bit grey. Null when it cannot be converted (or bitmap is null).
Bitmap ToStandardBitmap(Bitmap bitmap);
// The bitmap as 8-bit grey or 24-bit colour, what a JPEG holds, taken over: transparent pixels
// laid over white. Null when it cannot be converted.
Bitmap ToJpegBitmap(Bitmap bitmap);

// The bitmap's pixels as 32-bit blue, green, red, alpha, top row first; false (picture left as
// it was) when it cannot be converted.
bool ToPicture(FIBITMAP* bitmap, Picture& picture);

// The bitmap encoded into memory in a format; empty when FreeImage cannot encode it.
std::vector<uint8_t> EncodeImage(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, int flags = 0);

}  // namespace pspkvx::image
