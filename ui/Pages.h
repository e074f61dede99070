// The five pages of the main window.
#pragma once

namespace pspkvx {

enum PageId : int {
  PageVideo = 0,
  PageMusic = 1,
  PagePhoto = 2,
  PageSaves = 3,
  PageOnline = 4,
};
inline constexpr int kPageCount = 5;

// The caption of a page's tab.
inline const char* PageCaption(int page) {
  static constexpr const char* kCaptions[kPageCount] = {"Video", "Music", "Photos", "Game Saves",
                                                        "Online Saves"};
  return page >= 0 && page < kPageCount ? kCaptions[page] : "";
}

}  // namespace pspkvx
