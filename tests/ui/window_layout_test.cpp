#include "ui/WindowLayout.h"

#include <gtest/gtest.h>

#include "ui/ControlIds.h"

namespace pspkvx {
namespace {

TEST(WindowLayout, GrowingTo1280x800MovesExactlyTheListedControls) {
  ControlLayout layout = MainWindowLayout({740, 520});
  // Every control at the same place, so that each one's change is its rules' alone.
  const SkinRect start{100, 100, 200, 150};
  std::map<int, SkinRect> rects;
  for (const int id : {IdExit, IdTabVideo, IdAddFiles, IdPcSavesList, IdPspSavesList, IdTransfer,
                       IdProgressBar, IdDeleteFromPsp, IdFreeSpaceBar, IdStatusText})
    rects[id] = start;
  const auto changed = layout.Apply({1280, 800}, rects);  // DX 540, DY 280
  const std::map<int, SkinRect> expected = {
      {IdExit, {640, 100, 740, 150}},           // follows the right edge
      {IdPcSavesList, {100, 100, 470, 430}},    // half the width, all the height
      {IdPspSavesList, {370, 100, 740, 430}},   // the other half
      {IdTransfer, {370, 240, 470, 290}},       // stays centred
      {IdProgressBar, {100, 380, 740, 430}},    // the bottom row, the whole width
      {IdDeleteFromPsp, {370, 380, 470, 430}},  // the bottom, the right half
      {IdFreeSpaceBar, {370, 380, 740, 430}},
  };
  EXPECT_EQ(changed, expected);
  EXPECT_EQ(rects[IdTabVideo], start);  // not listed: left where it is
  EXPECT_EQ(rects[IdAddFiles], start);
  EXPECT_EQ(rects[IdStatusText], start);
  // Back to the skin's size: everything where it was.
  layout.Apply({740, 520}, rects);
  for (const auto& [id, rect] : rects)
    EXPECT_EQ(rect, start) << id;
}

}  // namespace
}  // namespace pspkvx
