// The skin's bitmaps by number: the button faces for the states 1, 2 and 3, and the scroll bar's
// pieces. Each lives in the program folder's Dat/ as "Bitmap N.png", with "Bitmap N@2x.png"
// beside it for 200 % scale (PNG, so that rounded edges blend into any background). A face is
// stretched to its button's size by its corners (kButtonFaceCorner pixels stay, the middle
// stretches), so one face serves every size.
#pragma once

#include <array>
#include <string>

#include "base/MessageBox.h"  // the dialogs' faces: kDefaultButtonFaces, kOtherButtonFaces, ...

namespace pspkvx {

// The main window's own faces (ButtonFaces: the bitmaps of the states 1, 2 and 3).
inline constexpr ButtonFaces kTabButtonFaces = {253, 252, 251};     // the page tabs
inline constexpr ButtonFaces kTitleButtonFaces = {256, 255, 254};   // the caption band's buttons
inline constexpr ButtonFaces kActionButtonFaces = {259, 258, 257};  // a page's transfer button

inline constexpr int kButtonFaceWidth = 64;
inline constexpr int kButtonFaceHeight = 28;
inline constexpr int kButtonFaceCorner = 8;

// The scroll bar: its arrows and thumb in the three states, and its track.
inline constexpr std::array<int, 3> kScrollUpFaces = {301, 302, 303};
inline constexpr std::array<int, 3> kScrollDownFaces = {304, 305, 306};
inline constexpr std::array<int, 3> kScrollThumbFaces = {307, 308, 309};
inline constexpr int kScrollTrack = 310;
inline constexpr int kScrollBarWidth = 16;
inline constexpr int kScrollThumbLength = 32;  // the thumb picture; its ends stay, its middle
inline constexpr int kScrollThumbCorner = 6;   // stretches to the thumb's length

// The small dialogs' skin: white outside its rounded outline, stretched by nine slices.
inline constexpr const char* kSmallDialogSkin = "Small Dialog.bmp";
inline constexpr int kSmallDialogCorner = 24;
inline constexpr int kSmallDialogStretch = 16;

inline std::string BitmapFileName(int id, int scale) {
  return "Bitmap " + std::to_string(id) + (scale == 2 ? "@2x" : "") + ".png";
}

}  // namespace pspkvx
