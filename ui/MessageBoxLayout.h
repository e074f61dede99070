// Where the message box puts its parts on its face, GUI-free. The face is a fixed bitmap of
// kMessageBoxWidth x kMessageBoxHeight; the text sits at (30, 32) with the face's width less 60
// and its height less 70; the visible buttons stand on one row at fixed x positions.
#pragma once

#include <vector>

namespace pspkvx {

inline constexpr int kMessageBoxWidth = 400;
inline constexpr int kMessageBoxHeight = 180;
inline constexpr int kMessageBoxButtonWidth = 90;
inline constexpr int kMessageBoxButtonHeight = 24;
// The button row's distance from the face's bottom edge to the buttons' top.
inline constexpr int kMessageBoxButtonRowFromBottom = 36;

struct MessageBoxRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The x positions in pixels of count visible buttons (1 to 4); empty for any other count.
std::vector<int> MessageBoxButtonPositions(int count);

// The text's rectangle on a face of width x height.
MessageBoxRect MessageBoxTextRect(int width, int height);

}  // namespace pspkvx
