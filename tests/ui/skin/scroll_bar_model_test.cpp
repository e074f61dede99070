#include "ui/skin/ScrollBarModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace pspkvx {
namespace {

using Step = std::function<bool(ScrollBarModel&)>;
const Step kLineUp = [](ScrollBarModel& bar) { return bar.LineUp(); };
const Step kLineDown = [](ScrollBarModel& bar) { return bar.LineDown(); };
const Step kPageUp = [](ScrollBarModel& bar) { return bar.PageUp(); };
const Step kPageDown = [](ScrollBarModel& bar) { return bar.PageDown(); };

TEST(ScrollBarModel, StepsFromAPosition) {
  struct Case {
    std::string name;
    int total, visible, start;
    Step step;
    bool changed;
    int position;
  };
  // Range 100 of 10: maximum 90, page 10.
  const std::vector<Case> cases = {
      {"line down", 100, 10, 5, kLineDown, true, 6},
      {"line down at the maximum does nothing", 100, 10, 90, kLineDown, false, 90},
      {"line up", 100, 10, 5, kLineUp, true, 4},
      {"line up at the top does nothing", 100, 10, 0, kLineUp, false, 0},
      {"page up", 100, 10, 25, kPageUp, true, 15},
      {"page up near the top stops at 0", 100, 10, 4, kPageUp, true, 0},
      {"page up at the top does nothing", 100, 10, 0, kPageUp, false, 0},
      {"page down", 100, 10, 25, kPageDown, true, 35},
      {"page down near the end stops at the maximum", 100, 10, 85, kPageDown, true, 90},
      {"page down at the maximum does nothing", 100, 10, 90, kPageDown, false, 90},
      {"a page of 0 moves nothing", 5, 0, 2, kPageDown, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScrollBarModel bar;
    bar.SetRange(c.total, c.visible);
    bar.SetPosition(c.start);
    ASSERT_EQ(bar.Position(), c.start);
    EXPECT_EQ(c.step(bar), c.changed);
    EXPECT_EQ(bar.Position(), c.position);
  }
}

TEST(ScrollBarModel, EverythingVisibleIgnoresEveryAction) {
  for (const auto& [total, visible] : std::vector<std::pair<int, int>>{{10, 10}, {3, 10}, {0, 0}}) {
    SCOPED_TRACE(std::to_string(total) + " of " + std::to_string(visible));
    ScrollBarModel bar;
    bar.SetRange(100, 10);
    bar.SetPosition(50);
    bar.SetRange(total, visible);
    EXPECT_FALSE(bar.Active());
    EXPECT_EQ(bar.Maximum(), 0);
    EXPECT_EQ(bar.Position(), 0);
    for (const Step& step : {kLineUp, kLineDown, kPageUp, kPageDown})
      EXPECT_FALSE(step(bar));
    EXPECT_FALSE(bar.SetPosition(3));
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.HitTest(40, {100, 16, 10}), ScrollPart::None);  // the track has no thumb
    EXPECT_EQ(bar.HitTest(5, {100, 16, 10}), ScrollPart::UpArrow);
  }
}

TEST(ScrollBarModel, ARangeChangeHoldsThePositionToTheLastPage) {
  ScrollBarModel bar;
  bar.SetRange(100, 10);
  ASSERT_TRUE(bar.SetPosition(90));
  bar.SetRange(50, 10);  // maximum 40
  EXPECT_TRUE(bar.Active());
  EXPECT_EQ(bar.Maximum(), 40);
  EXPECT_EQ(bar.Page(), 10);
  EXPECT_EQ(bar.Position(), 40);  // the last page, its last row shown
  bar.SetRange(50, 10);           // the same range again: the bottom position stays
  EXPECT_EQ(bar.Position(), 40);
  bar.SetRange(10, 10);  // everything visible: inactive, from the first row
  EXPECT_FALSE(bar.Active());
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_FALSE(bar.LineDown());
  bar.SetRange(11, 10);  // maximum 1: position 0
  EXPECT_EQ(bar.Position(), 0);
  bar.SetPosition(20);
  bar.SetRange(200, 10);  // a position below the new maximum stays
  EXPECT_EQ(bar.Position(), 1);
  EXPECT_TRUE(bar.SetPosition(-5));
  EXPECT_EQ(bar.Position(), 0);
}

TEST(ScrollBarModel, ThumbAndHitTest) {
  ScrollBarModel bar;
  bar.SetRange(100, 25);                          // maximum 75
  const ScrollBarGeometry geometry{232, 16, 10};  // track 16..216, 200 long
  ScrollBarLayout layout = bar.Layout(geometry);
  EXPECT_EQ(layout.upArrow, (ScrollSpan{0, 16}));
  EXPECT_EQ(layout.downArrow, (ScrollSpan{216, 16}));
  EXPECT_EQ(layout.track, (ScrollSpan{16, 200}));
  EXPECT_EQ(layout.thumb, (ScrollSpan{16, 50}));  // a quarter of the track, at the top

  bar.SetPosition(75);
  layout = bar.Layout(geometry);
  EXPECT_EQ(layout.thumb, (ScrollSpan{166, 50}));  // at the bottom
  bar.SetPosition(30);
  layout = bar.Layout(geometry);
  EXPECT_EQ(layout.thumb, (ScrollSpan{76, 50}));  // 150 * 30 / 75 below the track's start

  struct Hit {
    int point;
    ScrollPart part;
  };
  for (const Hit& hit :
       {Hit{-1, ScrollPart::None}, Hit{0, ScrollPart::UpArrow}, Hit{15, ScrollPart::UpArrow},
        Hit{16, ScrollPart::TrackAbove}, Hit{75, ScrollPart::TrackAbove},
        Hit{76, ScrollPart::Thumb}, Hit{125, ScrollPart::Thumb}, Hit{126, ScrollPart::TrackBelow},
        Hit{215, ScrollPart::TrackBelow}, Hit{216, ScrollPart::DownArrow},
        Hit{231, ScrollPart::DownArrow}, Hit{232, ScrollPart::None}}) {
    SCOPED_TRACE(hit.point);
    EXPECT_EQ(bar.HitTest(hit.point, geometry), hit.part);
  }

  // Dragging: the thumb's start maps back to the position, held to the range.
  EXPECT_EQ(bar.PositionForThumbStart(76, geometry), 30);
  EXPECT_EQ(bar.PositionForThumbStart(0, geometry), 0);
  EXPECT_EQ(bar.PositionForThumbStart(500, geometry), 75);

  // A long list keeps the thumb at its smallest length; a tiny bar shares it between arrows.
  bar.SetRange(100000, 10);
  EXPECT_EQ(bar.Thumb(200, 10).length, 10);
  EXPECT_EQ(bar.Layout({20, 16, 10}).upArrow, (ScrollSpan{0, 10}));
  EXPECT_EQ(bar.Layout({20, 16, 10}).thumb.length, 0);
}

TEST(ScrollBarModel, PartStates) {
  using P = ScrollPart;
  struct Case {
    P part, hot, pressed;
    int state;
  };
  for (const Case& c :
       {Case{P::UpArrow, P::UpArrow, P::None, 2}, Case{P::DownArrow, P::UpArrow, P::None, 1},
        Case{P::UpArrow, P::UpArrow, P::UpArrow, 3},
        Case{P::UpArrow, P::None, P::UpArrow, 1},  // held, pointer gone
        Case{P::Thumb, P::None, P::Thumb, 3},      // a drag keeps its face
        Case{P::Thumb, P::Thumb, P::UpArrow, 1}, Case{P::None, P::None, P::None, 1}}) {
    EXPECT_EQ(ScrollPartState(c.part, c.hot, c.pressed), c.state)
        << int(c.part) << " " << int(c.hot) << " " << int(c.pressed);
  }
}

}  // namespace
}  // namespace pspkvx
