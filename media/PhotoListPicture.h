// The small pictures of the photo lists' rows: a picture file scaled with the box filter,
// whatever its proportions, to 45 x 34 when its list shows plain rows, else to 96 x 72. GUI-free
// and independent of any list: the window's background worker makes one at a time and gives it
// to its row. Safe to run beside a photo conversion.
#pragma once

#include <optional>
#include <string>

#include "media/Picture.h"

namespace pspkvx {

struct ListPictureSize {
  unsigned width = 0;
  unsigned height = 0;
  bool operator==(const ListPictureSize&) const = default;
};

// 45 x 34 for a list of plain rows, else 96 x 72.
ListPictureSize PhotoListPictureSize(bool plainRows);

// The small picture of the file as opaque pixels (transparency laid over white); none when
// the file is not a picture that loads (a later pass may try it again).
std::optional<Picture> MakePhotoListPicture(const std::string& path, bool plainRows);
// The same picture as the bytes of a PNG file (what a list row's pictureBytes holds); none as
// above.
std::optional<std::string> MakePhotoListPng(const std::string& path, bool plainRows);

}  // namespace pspkvx
