// Skin pictures on disk: a skin file read into pixels (any format the picture library reads;
// the shipped skins are BMP files), and a composed face written as an opaque RGB PNG.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/skin/PixelImage.h"

namespace pspkvx {

// The picture at path as pixels (0x00RRGGBB, the high byte 0); none with error set when it
// cannot be read, is not a picture, or is a BMP file that ends before its pixels do.
std::optional<PixelImage> LoadSkinPicture(const std::string& path, std::string& error);

// The pixels as an RGB PNG (no alpha: the high byte is dropped); empty when it cannot be made.
std::vector<uint8_t> EncodeOpaquePng(const PixelImage& image);

}  // namespace pspkvx
