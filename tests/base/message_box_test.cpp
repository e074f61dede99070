#include "base/MessageBox.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace pspkvx {
namespace {

TEST(MessageBoxFaces, DefaultsByTypeAndTheCallersOwn) {
  const ButtonFaces first = {239, 238, 237};
  const ButtonFaces other = {243, 242, 241};
  const ButtonFaces extra = {405, 407, 406};
  const ButtonFaces none = {-1, -1, -1};
  struct Case {
    int type;
    std::vector<ButtonFaces> faces;  // per button; one more: the first button the type lacks
  };
  const std::vector<Case> cases = {
      {MbOk, {first, none}},
      {MbYesNo, {first, other, none}},
      {MbYesNoCancel, {first, other, other, none}},
      {MbAbout, {first, extra, none}},
      {MbExistingDestination, {first, extra, extra, none}},
      {MbExistingDestinationAdd, {first, extra, extra, extra}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    MessageBoxRequest request;
    request.type = c.type;
    for (size_t i = 0; i < c.faces.size(); ++i)
      EXPECT_EQ(RequestButtonFaces(request, static_cast<int>(i)), c.faces[i]) << i;
  }

  MessageBoxRequest request;
  request.type = MbOkCancel;
  request.faces[1] = {500, -1, 502};  // -1: that face as the type gives it
  EXPECT_EQ(RequestButtonFaces(request, 1), (ButtonFaces{500, 242, 502}));
  EXPECT_EQ(RequestButtonFaces(request, 0), first);
  EXPECT_EQ(RequestButtonFaces(request, 4), none);
  EXPECT_EQ(RequestButtonFaces(request, -1), none);
}

TEST(MessageBoxOpenFlag, StaysSetUntilTheLastOpenBoxCloses) {
  EXPECT_FALSE(MessageBoxIsOpen());
  {
    MessageBoxOpenMark outer;
    EXPECT_TRUE(MessageBoxIsOpen());
    {
      MessageBoxOpenMark inner;  // a box opened while another is open
    }
    EXPECT_TRUE(MessageBoxIsOpen());
    bool seenByAWorker = false;
    std::thread worker([&] { seenByAWorker = MessageBoxIsOpen(); });
    worker.join();
    EXPECT_TRUE(seenByAWorker);
  }
  EXPECT_FALSE(MessageBoxIsOpen());
}

// Closing a box without a button never picks an action: the About box's second button would
// open a web page.
TEST(MessageBoxClose, GivesTheLastButtonButOkForTheAboutBox) {
  const struct {
    int type;
    int result;
  } kCases[] = {{MbOk, ResultOk},
                {MbOkCancel, ResultCancel},
                {MbYesNo, ResultNo},
                {MbYesNoCancel, ResultCancel},
                {MbExistingDestination, ResultCancel},
                {MbExistingDestinationAdd, ResultCancel},
                {MbAbout, ResultOk}};
  for (const auto& c : kCases)
    EXPECT_EQ(CloseResultForType(c.type), c.result) << c.type;
}

}  // namespace
}  // namespace pspkvx
