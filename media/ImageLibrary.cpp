#include "media/ImageLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "base/FileRead.h"

namespace pspkvx::image {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// FreeImage's reading through a std::FILE, as FreeImage_Load does itself.
unsigned ReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<std::FILE*>(handle)));
}
unsigned WriteProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return static_cast<unsigned>(std::fwrite(buffer, size, count, static_cast<std::FILE*>(handle)));
}
int SeekProc(fi_handle handle, long offset, int origin) {
  return std::fseek(static_cast<std::FILE*>(handle), offset, origin);
}
long TellProc(fi_handle handle) {
  return std::ftell(static_cast<std::FILE*>(handle));
}

LoadedImage Failed(LoadFailure failure, std::string error) {
  LoadedImage image;
  image.failure = failure;
  image.error = std::move(error);
  return image;
}

// The format of an open file: from its content, else from the name's extension (byName set).
FREE_IMAGE_FORMAT FormatOf(FreeImageIO& io, std::FILE* file, const std::string& path,
                           bool& byName) {
  FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromHandle(&io, file, 0);
  byName = format == FIF_UNKNOWN;
  if (byName) {
    const auto lock = LockFreeImage();
    format = FreeImage_GetFIFFromFilename(path.c_str());
  }
  return format != FIF_UNKNOWN && FreeImage_FIFSupportsReading(format) ? format : FIF_UNKNOWN;
}

// The JPEG load flags that decode at the smallest scale still covering the minimum size (the
// decoder divides by 1, 2, 4 or 8: it takes the largest divisor up to the larger side over
// the size asked in bits 16 and up).
int JpegScaleFlags(FreeImageIO& io, std::FILE* file, unsigned minWidth, unsigned minHeight) {
  if (minWidth == 0 && minHeight == 0) return JPEG_DEFAULT;
  const long start = std::ftell(file);
  const Bitmap header(FreeImage_LoadFromHandle(FIF_JPEG, &io, file, FIF_LOAD_NOPIXELS));
  const bool rewound = std::fseek(file, start, SEEK_SET) == 0;
  if (!header || !rewound) return JPEG_DEFAULT;
  const unsigned width = FreeImage_GetWidth(header.get());
  const unsigned height = FreeImage_GetHeight(header.get());
  unsigned divisor = 1;
  // The decoder rounds each side up, so a side of n / d still covers m when n >= m * d.
  while (divisor < 8 && uint64_t{width} >= uint64_t{minWidth} * divisor * 2 &&
         uint64_t{height} >= uint64_t{minHeight} * divisor * 2)
    divisor *= 2;
  if (divisor == 1) return JPEG_DEFAULT;
  const unsigned larger = width > height ? width : height;
  return static_cast<int>((larger / divisor) << 16);
}

// A 32-bit bitmap whose every alpha byte is 0 does not use its fourth byte (a 32-bit BMP, say):
// read as transparency it would be an empty picture.
bool AlphaUnused(FIBITMAP* bitmap) {
  const unsigned width = FreeImage_GetWidth(bitmap);
  const unsigned height = FreeImage_GetHeight(bitmap);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* line = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x)
      if (line[x * 4 + FI_RGBA_ALPHA] != 0) return false;
  }
  return true;
}

}  // namespace

std::unique_lock<std::mutex> LockFreeImage() {
  static std::mutex mutex;
  return std::unique_lock<std::mutex>(mutex);
}

LoadedImage LoadImageFile(const std::string& path, unsigned minWidth, unsigned minHeight) {
  if (std::string problem = InputFileProblem(path); !problem.empty())
    return Failed(LoadFailure::NotAFile, std::move(problem));
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return Failed(LoadFailure::NotAFile,
                  "cannot open " + path + ": " + std::generic_category().message(errno));
  }
  FreeImageIO io{ReadProc, WriteProc, SeekProc, TellProc};
  bool byName = false;
  const FREE_IMAGE_FORMAT format = FormatOf(io, file.get(), path, byName);
  const std::string unrecognised = path + " is not a picture of a format PSPKVX reads";
  if (format == FIF_UNKNOWN) return Failed(LoadFailure::Unrecognised, unrecognised);
  const int flags = format == FIF_JPEG ? JpegScaleFlags(io, file.get(), minWidth, minHeight) : 0;
  LoadedImage image;
  image.bitmap.reset(FreeImage_LoadFromHandle(format, &io, file.get(), flags));
  if (!image.bitmap || !FreeImage_HasPixels(image.bitmap.get()) ||
      FreeImage_GetWidth(image.bitmap.get()) == 0 || FreeImage_GetHeight(image.bitmap.get()) == 0) {
    // Only the name said it was a picture: it is a file of some other kind.
    if (byName) return Failed(LoadFailure::Unrecognised, unrecognised);
    return Failed(LoadFailure::NotLoaded, path +
                                              " could not be loaded as a picture (it may be "
                                              "damaged, or of a kind FreeImage does not read)");
  }
  return image;
}

Bitmap DecodeImage(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
  // FreeImage only reads from the memory it is given here.
  const Memory memory(
      FreeImage_OpenMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
  if (!memory) return nullptr;
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(memory.get(), 0);
  if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) return nullptr;
  Bitmap bitmap(FreeImage_LoadFromMemory(format, memory.get(), 0));
  if (bitmap && !FreeImage_HasPixels(bitmap.get())) return nullptr;
  return bitmap;
}

Bitmap ToStandardBitmap(Bitmap bitmap) {
  if (!bitmap) return nullptr;
  switch (FreeImage_GetImageType(bitmap.get())) {
    case FIT_BITMAP:
      return bitmap;
    case FIT_RGB16:
      return Bitmap(FreeImage_ConvertTo24Bits(bitmap.get()));
    case FIT_RGBA16:
      return Bitmap(FreeImage_ConvertTo32Bits(bitmap.get()));
    case FIT_RGBF:
    case FIT_RGBAF:
      return Bitmap(FreeImage_ToneMapping(bitmap.get(), FITMO_DRAGO03, 0, 0));
    default:
      return Bitmap(FreeImage_ConvertToStandardType(bitmap.get(), TRUE));
  }
}

Bitmap ToJpegBitmap(Bitmap bitmap) {
  bitmap = ToStandardBitmap(std::move(bitmap));
  if (!bitmap) return nullptr;
  FIBITMAP* const pixels = bitmap.get();
  const unsigned bits = FreeImage_GetBPP(pixels);
  const bool transparent = FreeImage_IsTransparent(pixels) && !(bits == 32 && AlphaUnused(pixels));
  if (bits == 24) return bitmap;
  if (bits == 8 && FreeImage_GetColorType(pixels) == FIC_MINISBLACK && !transparent) return bitmap;
  if (!transparent) return Bitmap(FreeImage_ConvertTo24Bits(pixels));
  // A JPEG has no transparency: the picture shows as it would on a white page.
  Bitmap rgba;
  FIBITMAP* foreground = pixels;
  if (bits != 32) {
    rgba.reset(FreeImage_ConvertTo32Bits(pixels));
    if (!rgba) return nullptr;
    foreground = rgba.get();
  }
  RGBQUAD white{255, 255, 255, 0};
  return Bitmap(FreeImage_Composite(foreground, FALSE, &white, nullptr));
}

bool ToPicture(FIBITMAP* bitmap, Picture& picture) {
  if (!bitmap) return false;
  Bitmap standard;
  if (FreeImage_GetImageType(bitmap) != FIT_BITMAP) {
    standard = ToStandardBitmap(Bitmap(FreeImage_Clone(bitmap)));
    if (!standard) return false;
    bitmap = standard.get();
  }
  const Bitmap rgba(FreeImage_ConvertTo32Bits(bitmap));
  if (!rgba) return false;

  const unsigned width = FreeImage_GetWidth(rgba.get());
  const unsigned height = FreeImage_GetHeight(rgba.get());
  Picture converted;
  converted.width = width;
  converted.height = height;
  converted.bgra.resize(static_cast<size_t>(width) * height * 4);
  // FreeImage keeps the bottom row first; 32-bit pixels are blue, green, red, alpha in memory
  // on little-endian machines.
  for (unsigned y = 0; y < height; ++y)
    std::memcpy(converted.bgra.data() + static_cast<size_t>(y) * width * 4,
                FreeImage_GetScanLine(rgba.get(), static_cast<int>(height - 1 - y)),
                static_cast<size_t>(width) * 4);
  picture = std::move(converted);
  return true;
}

std::vector<uint8_t> EncodeImage(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, int flags) {
  if (!bitmap) return {};
  const Memory memory(FreeImage_OpenMemory());
  if (!memory || !FreeImage_SaveToMemory(format, bitmap, memory.get(), flags)) return {};
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!FreeImage_AcquireMemory(memory.get(), &data, &size) || !data) return {};
  return std::vector<uint8_t>(data, data + size);
}

}  // namespace pspkvx::image
