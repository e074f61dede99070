// The skin's colours. Every colour value of the skin is a Windows colour value 0x00BBGGRR, as
// the skin's data gives them; the painters turn them into 0x00RRGGBB through RgbFromColorref.
#pragma once

#include <cstdint>

namespace pspkvx {

constexpr uint32_t RgbFromColorref(uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// The small dialogs: the face, their drawn texts, the message box's text.
inline constexpr uint32_t kDialogFace = 0xE7E2E1;
inline constexpr uint32_t kDialogText = 0x1E1414;
inline constexpr uint32_t kMessageText = 0x202020;

}  // namespace pspkvx
