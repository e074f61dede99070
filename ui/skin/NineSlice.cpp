#include "ui/skin/NineSlice.h"

#include <algorithm>
#include <cstring>

namespace pspkvx {
namespace {

// Copies the source block (sx, sy, w x h) of the skin to (dx, dy) of the face.
void CopyBlock(const PixelImage& skin, int sx, int sy, int w, int h, PixelImage& face, int dx,
               int dy) {
  for (int row = 0; row < h; ++row)
    std::memcpy(face.Row(dy + row) + dx, skin.Row(sy + row) + sx,
                static_cast<size_t>(w) * sizeof(uint32_t));
}

// Tiles the source block (sx, sy, tw x th) over (dx, dy, w x h) of the face: whole tiles from the
// left and the top, the last ones cut to what remains.
void TileBlock(const PixelImage& skin, int sx, int sy, int tw, int th, PixelImage& face, int dx,
               int dy, int w, int h) {
  if (tw <= 0 || th <= 0) return;
  for (int y = 0; y < h; y += th)
    for (int x = 0; x < w; x += tw)
      CopyBlock(skin, sx, sy, std::min(tw, w - x), std::min(th, h - y), face, dx + x, dy + y);
}

}  // namespace

std::string SlicesProblem(const PixelImage& skin, const SkinSlices& s) {
  if (s.cornerWidth <= 0 || s.stretchWidth <= 0 || s.cornerHeight <= 0 || s.stretchHeight <= 0)
    return "every slice must be at least one pixel";
  if (skin.width != s.SkinWidth() || skin.height != s.SkinHeight())
    return "the slices make a skin of " + std::to_string(s.SkinWidth()) + " x " +
           std::to_string(s.SkinHeight()) + ", the picture is " + std::to_string(skin.width) +
           " x " + std::to_string(skin.height);
  return "";
}

bool ComposesFaceAt(const SkinSlices& s, int width, int height) {
  return width >= s.SkinWidth() && height >= s.SkinHeight() && width < kMaxSkinSize &&
         height < kMaxSkinSize;
}

bool ComposeFaceInto(const PixelImage& skin, const SkinSlices& s, int width, int height,
                     PixelImage& face) {
  if (!SlicesProblem(skin, s).empty() || !ComposesFaceAt(s, width, height)) return false;
  const int cx = s.cornerWidth, tx = s.stretchWidth, cy = s.cornerHeight, ty = s.stretchHeight;
  const int mw = width - skin.width + tx;    // the stretched middle's width
  const int mh = height - skin.height + ty;  // and height
  // Every pixel is written below; the buffer is kept with room to grow, so that a face composed
  // again and again for a growing window does not take new memory each time.
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (face.pixels.capacity() < count) face.pixels.reserve(count + count / 4);
  face.pixels.resize(count);
  face.width = width;
  face.height = height;
  CopyBlock(skin, 0, 0, cx, cy, face, 0, 0);                          // top-left
  TileBlock(skin, cx, 0, tx, cy, face, cx, 0, mw, cy);                // top edge
  CopyBlock(skin, cx + tx, 0, cx, cy, face, cx + mw, 0);              // top-right
  TileBlock(skin, 0, cy, cx, ty, face, 0, cy, cx, mh);                // left edge
  TileBlock(skin, cx, cy, tx, ty, face, cx, cy, mw, mh);              // centre
  TileBlock(skin, cx + tx, cy, cx, ty, face, cx + mw, cy, cx, mh);    // right edge
  CopyBlock(skin, 0, cy + ty, cx, cy, face, 0, cy + mh);              // bottom-left
  TileBlock(skin, cx, cy + ty, tx, cy, face, cx, cy + mh, mw, cy);    // bottom edge
  CopyBlock(skin, cx + tx, cy + ty, cx, cy, face, cx + mw, cy + mh);  // bottom-right
  return true;
}

std::optional<PixelImage> ComposeFace(const PixelImage& skin, const SkinSlices& s, int width,
                                      int height) {
  PixelImage face;
  if (!ComposeFaceInto(skin, s, width, height, face)) return std::nullopt;
  return face;
}

}  // namespace pspkvx
