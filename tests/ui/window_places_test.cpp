#include "ui/WindowPlaces.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/ControlIds.h"
#include "ui/PageTable.h"
#include "ui/Pages.h"
#include "ui/WindowLayout.h"
#include "ui/skin/SkinSizing.h"

namespace pspkvx {
namespace {

// The controls every page shows besides its own lists and buttons.
const std::vector<int> kAlwaysShown = {
    IdExit,     IdMaximize, IdMinimize,      IdTray,         IdAbout,       IdTabVideo,
    IdTabMusic, IdTabPhoto, IdTabSaves,      IdTabOnline,    IdStatusText,  IdPspStatus,
    IdOptions,  IdCancel,   IdFreeSpaceText, IdFreeSpaceBar, IdProgressBar, IdStatusLine};

constexpr int kCaptionHeight = 31;
constexpr int kFrame = 2;  // the skin's outline

bool Overlap(const SkinRect& a, const SkinRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool InCaption(int id) {
  return id == IdExit || id == IdMaximize || id == IdMinimize || id == IdTray || id == IdAbout;
}

// At the skin's size and after growing, every page's controls lie on the face (inside the
// outline, the title buttons in the caption band and the rest below it, none over the grip) and
// no two of them cover each other.
TEST(WindowPlaces, EveryPagesControlsFitTheFaceWithoutOverlapAtEverySize) {
  for (const SkinSize size :
       {SkinSize{740, 520}, SkinSize{1280, 800}, SkinSize{1920, 1080}, SkinSize{741, 521}}) {
    std::map<int, SkinRect> rects = MainWindowPlaces();
    MainWindowLayout().Apply(size, rects);
    for (int page = 0; page < kPageCount; ++page) {
      const PageControls& controls = ControlsOfPage(page);
      std::vector<int> shown = kAlwaysShown;
      shown.push_back(controls.pcList);
      shown.push_back(controls.pspList);
      shown.insert(shown.end(), controls.buttons.begin(), controls.buttons.end());
      for (size_t i = 0; i < shown.size(); ++i) {
        const int id = shown[i];
        SCOPED_TRACE(testing::Message()
                     << size.width << "x" << size.height << " page " << page << " control " << id);
        ASSERT_TRUE(rects.count(id));
        const SkinRect r = PagePlace(page, id, rects[id]);
        EXPECT_GT(r.Width(), 0);
        EXPECT_GT(r.Height(), 0);
        EXPECT_GE(r.left, kFrame);
        EXPECT_LE(r.right, size.width - kFrame);
        EXPECT_LE(r.bottom, size.height - kFrame);
        if (InCaption(id)) {
          EXPECT_LE(r.bottom, kCaptionHeight);
        } else {
          EXPECT_GE(r.top, kCaptionHeight + 1);
        }
        EXPECT_FALSE(InResizeGrip(r.right - 1, r.bottom - 1, size, kDefaultGripSize));
        for (size_t j = i + 1; j < shown.size(); ++j)
          EXPECT_FALSE(Overlap(r, PagePlace(page, shown[j], rects[shown[j]])))
              << "and control " << shown[j];
      }
    }
  }
}

}  // namespace
}  // namespace pspkvx
