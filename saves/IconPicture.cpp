#include "saves/IconPicture.h"

#include "media/ImageLibrary.h"

namespace pspkvx {

bool DecodeIconPicture(std::span<const uint8_t> bytes, IconPicture& picture) {
  const image::Bitmap bitmap = image::DecodeImage(bytes);
  return bitmap && image::ToPicture(bitmap.get(), picture);
}

}  // namespace pspkvx
