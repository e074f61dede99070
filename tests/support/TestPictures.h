// Pictures for tests, made and read with FreeImage.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <functional>
#include <string>

namespace pspkvx::test {

struct Rgba {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;
};

inline constexpr Rgba kRed{255, 0, 0};
inline constexpr Rgba kGreen{0, 255, 0};
inline constexpr Rgba kBlue{0, 0, 255};
inline constexpr Rgba kWhite{255, 255, 255};

using PixelColour = std::function<Rgba(unsigned x, unsigned y)>;  // (0, 0) is the top left

// Writes a picture file in a format (FIF_PNG, FIF_BMP, FIF_JPEG...) of width x height pixels
// coloured by colour; with alpha, 32 bits per pixel (alpha kept), else 24. Fails the test when
// FreeImage cannot write it.
void WritePicture(const std::string& path, FREE_IMAGE_FORMAT format, unsigned width,
                  unsigned height, const PixelColour& colour, bool alpha = false);
// One colour all over.
void WritePicture(const std::string& path, FREE_IMAGE_FORMAT format, unsigned width,
                  unsigned height, Rgba colour = kGreen);

struct PictureInfo {
  FREE_IMAGE_FORMAT format = FIF_UNKNOWN;  // from the file's content
  unsigned width = 0;
  unsigned height = 0;
};
// What a picture file holds; FIF_UNKNOWN when it is not one (or not there).
PictureInfo ReadPictureInfo(const std::string& path);
// A pixel of a picture file ((0, 0) the top left); all zero when it cannot be read.
Rgba PixelOf(const std::string& path, unsigned x, unsigned y);
// Whether two colours differ by at most tolerance in every channel (JPEG changes them a little).
bool Near(Rgba a, Rgba b, int tolerance = 24);

}  // namespace pspkvx::test
