#include "ui/skin/ControlLayout.h"

#include <gtest/gtest.h>

#include "ui/skin/SkinSizing.h"

namespace pspkvx {
namespace {

TEST(ControlLayout, RulesRelativeToTheWindowFollowTheChangeOfSize) {
  struct Case {
    int mode, divisor;
    SkinRect after;  // of {10, 20, 110, 70} when the window grows by 41 x 31
  };
  for (const Case& c : {Case{2, 1, {51, 20, 151, 70}}, Case{4, 1, {10, 51, 110, 101}},
                        Case{5, 1, {10, 20, 110, 101}}, Case{6, 1, {10, 20, 151, 70}},
                        Case{11, 2, {10, 20, 130, 70}}, Case{12, 2, {30, 20, 150, 70}},
                        Case{13, 2, {30, 20, 130, 70}}, Case{14, 2, {10, 35, 110, 85}},
                        Case{3, 1, {10, 20, 110, 70}}, Case{9, 1, {10, 20, 110, 70}}}) {
    SCOPED_TRACE(c.mode);
    ControlLayout layout({300, 200});
    layout.Add(7, c.mode, c.divisor);
    std::map<int, SkinRect> rects = {{7, {10, 20, 110, 70}}};
    const auto changed = layout.Apply({341, 231}, rects);
    EXPECT_EQ(rects[7], c.after);
    EXPECT_EQ(changed.count(7), (c.after == SkinRect{10, 20, 110, 70}) ? 0u : 1u);
    EXPECT_EQ(layout.LastSize(), (SkinSize{341, 231}));
  }
  // Integer division toward zero: shrinking by 41 moves by -20, not -21.
  ControlLayout layout({300, 200});
  layout.Add(7, 13, 2);
  std::map<int, SkinRect> rects = {{7, {100, 0, 150, 10}}};
  layout.Apply({259, 200}, rects);
  EXPECT_EQ(rects[7].left, 80);
}

TEST(ControlLayout, RulesRelativeToAnotherControlKeepTheirDistances) {
  const SkinRect other{10, 10, 110, 60};
  const SkinRect self{120, 70, 170, 100};
  // The other control after the window's rules have moved and grown it.
  const SkinRect moved{30, 40, 150, 100};
  struct Case {
    int mode;
    double ratio;
    SkinRect self, other;  // afterwards
  };
  for (const Case& c : {
           Case{1, 0, {140, 70, 190, 100}, moved},                 // left = O.left + 110
           Case{2, 0, {160, 70, 210, 100}, moved},                 // left = O.right + 10
           Case{3, 0, {120, 100, 170, 130}, moved},                // top = O.top + 60
           Case{4, 0, {120, 110, 170, 140}, moved},                // top = O.bottom + 10
           Case{5, 0.5, {120, 80, 170, 100}, {30, 40, 150, 70}},   // O.height = (100-40)/2
           Case{6, 0.5, {110, 70, 170, 100}, {30, 40, 100, 100}},  // O.width = (170-30)/2
           Case{7, 0, self, {30, 40, 130, 100}},                   // O.width = 120 - 20
           Case{8, 0, {120, 70, 190, 100}, moved},                 // width = O.left + 40
           Case{9, 0, self, {30, 40, 150, 90}},                    // O.height = 70 - 20
           Case{10, 0, {120, 110, 170, 100}, moved},
       }) {
    SCOPED_TRACE(c.mode);
    ControlLayout layout({300, 200});
    layout.AddRelative(1, c.mode, 2, self, other, c.ratio);
    std::map<int, SkinRect> rects = {{1, self}, {2, moved}};
    layout.Apply({300, 200}, rects);
    EXPECT_EQ(rects[1], c.self);
    EXPECT_EQ(rects[2], c.other);
  }
}

TEST(SkinSizing, AResizeIsCutToTheWorkAreaRaisedToTheMinimumAndIgnoredFrom10001) {
  const SkinSizeLimits limits{{740, 520}, {0, 30, 1280, 800}, 100, 50};
  struct Case {
    int width, height;
    bool limit;
    std::optional<SkinSize> result;
  };
  for (const Case& c :
       {Case{800, 600, true, SkinSize{800, 600}},
        Case{1500, 900, true, SkinSize{1180, 750}},  // to the right and bottom
        Case{1500, 900, false, SkinSize{1500, 900}}, Case{300, 200, true, SkinSize{740, 520}},
        Case{10001, 600, false, std::nullopt}, Case{800, 12000, false, std::nullopt},
        Case{12000, 600, true, SkinSize{1180, 600}}}) {
    EXPECT_EQ(ResizeTarget(c.width, c.height, c.limit, limits), c.result)
        << c.width << "x" << c.height << " " << c.limit;
  }
}

TEST(SkinSizing, TheGripTheDragAndMaximizing) {
  EXPECT_TRUE(InResizeGrip(790, 590, {800, 600}, 36));
  EXPECT_FALSE(InResizeGrip(764, 590, {800, 600}, 36));  // exactly width - grip is outside
  EXPECT_FALSE(InResizeGrip(799, 599, {800, 600}, 0));   // a grip of 0: not resizable
  // The pointer travels 50 right and 30 up; then far left of the window's minimum.
  EXPECT_EQ(DraggedSize({800, 600}, 900, 650, 950, 620, 100, 50, {740, 520}), (SkinSize{850, 570}));
  EXPECT_EQ(DraggedSize({800, 600}, 900, 650, 0, 0, 100, 50, {740, 520}), (SkinSize{740, 520}));
  // Maximizing takes the work area, panel and all accounted for; without a grip it is refused.
  const SkinRect workArea{0, 32, 1280, 800};
  EXPECT_EQ(MaximizedRect(workArea, 36), workArea);
  EXPECT_EQ(MaximizedRect(workArea, 0), std::nullopt);
}

}  // namespace
}  // namespace pspkvx
