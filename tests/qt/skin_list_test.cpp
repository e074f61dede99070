// The skinned lists and the tree driven by real pointer, wheel and drop events.
#include <gtest/gtest.h>

#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <memory>
#include <thread>

#include "qt/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/qt/SkinColour.h"
#include "ui/qt/SkinList.h"
#include "ui/qt/SkinListView.h"
#include "ui/qt/SkinScrollBar.h"
#include "ui/qt/SkinTree.h"
#include "ui/skin/ColumnLayout.h"

namespace pspkvx {
namespace {

using test::Click;
using test::Press;
using test::Release;

std::vector<ListRow> Rows(int count, const std::string& picture = "") {
  std::vector<ListRow> rows;
  for (int i = 0; i < count; ++i)
    rows.push_back({{"key", "row " + std::to_string(i), std::to_string(i)}, picture, false});
  return rows;
}

// The selected flags as "x" and ".", row by row.
std::string Marks(const ListModel& list) {
  std::string marks;
  for (const ListRow& row : list.Rows())
    marks += row.selected ? 'x' : '.';
  return marks;
}

class SkinListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list_.resize(300, 10 * list_.RowHeight());  // ten rows shown
    list_.SetColumnWidths({0, 150, 100});
    list_.SetModel(model_);
  }
  QPoint OnRow(int row) const { return list_.RowRect(size_t(row)).center(); }

  QApplication& app_ = test::QtApp();  // before any widget
  std::shared_ptr<ListModel> model_ = std::make_shared<ListModel>();
  SkinList list_;
};

TEST_F(SkinListTest, ClickCtrlClickAndShiftClickSelect) {
  model_->SetRows(Rows(8));
  list_.Refresh();
  QSignalSpy pressed(&list_, &SkinList::Pressed);
  QSignalSpy released(&list_, &SkinList::Released);

  Click(&list_, OnRow(2));
  EXPECT_EQ(Marks(*model_), "..x.....");
  EXPECT_TRUE(list_.ShownRows()[2].selected);  // drawn at once, without waiting for the timer
  Click(&list_, OnRow(4), Qt::ControlModifier);
  EXPECT_EQ(Marks(*model_), "..x.x...");
  Click(&list_, OnRow(6), Qt::ShiftModifier);  // from the last plain or Ctrl click
  EXPECT_EQ(Marks(*model_), "....xxx.");
  Click(&list_, OnRow(4), Qt::ControlModifier);
  EXPECT_EQ(Marks(*model_), ".....xx.");
  EXPECT_EQ(list_.SelectedCount(), 2u);
  EXPECT_EQ(list_.NextSelected(), 5u);
  Click(&list_, OnRow(9));  // below the last row
  EXPECT_EQ(Marks(*model_), "........");
  list_.SelectAll();
  EXPECT_EQ(list_.SelectedCount(), 8u);
  list_.ClearSelection();
  EXPECT_EQ(list_.SelectedCount(), 0u);
  EXPECT_EQ(pressed.count(), 5);
  EXPECT_EQ(released.count(), 5);

  // A press on the scroll bar is the bar's, not a click on the list.
  Click(list_.ScrollBar(), QPoint(8, 40));
  EXPECT_EQ(pressed.count(), 5);
}

TEST_F(SkinListTest, TheWheelMovesWhileTheBarIsActive) {
  model_->SetRows(Rows(50));
  list_.Refresh();
  ASSERT_TRUE(list_.ScrollBar()->IsActive());
  EXPECT_EQ(list_.ScrollBar()->Maximum(), 40);
  test::Wheel(&list_, OnRow(1), -120);  // towards the user: down, three lines by default
  EXPECT_EQ(list_.TopRow(), 3);
  list_.SetWheelStep(2);
  test::Wheel(&list_, OnRow(1), 120);
  EXPECT_EQ(list_.TopRow(), 1);
  test::Wheel(&list_, OnRow(1), 60);  // half a notch, then the other half
  EXPECT_EQ(list_.TopRow(), 1);
  test::Wheel(&list_, OnRow(1), 60);
  EXPECT_EQ(list_.TopRow(), 0);
  test::Wheel(&list_, OnRow(1), 120);  // at the top already
  EXPECT_EQ(list_.TopRow(), 0);
  Click(&list_, OnRow(0));
  EXPECT_EQ(Marks(*model_).substr(0, 2), "x.");

  model_->SetRows(Rows(5));  // everything shown: the bar is inactive and the wheel does nothing
  list_.Refresh();
  EXPECT_FALSE(list_.ScrollBar()->IsActive());
  test::Wheel(&list_, OnRow(1), -120);
  EXPECT_EQ(list_.TopRow(), 0);
}

TEST_F(SkinListTest, DroppedFilesGoToTheHandlerOneByOne) {
  std::vector<std::pair<std::string, bool>> calls;
  list_.SetDropHandler([&](const std::string& path, bool moreFollow) {
    calls.emplace_back(path, moreFollow);
    model_->AppendRow({{"", path}, "", false});
  });
  list_.SetDropEnabled(true);
  EXPECT_TRUE(list_.DropEnabled());

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/videos/a.avi"), QUrl("https://example.com/x.avi"),
                QUrl::fromLocalFile("/videos/b c.mpg"), QUrl::fromLocalFile("/music/ü.mp3")});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&list_, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&list_, &drop);

  const std::vector<std::pair<std::string, bool>> expected = {
      {"/videos/a.avi", true}, {"/videos/b c.mpg", true}, {"/music/\xC3\xBC.mp3", false}};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(list_.ShownRows().size(), 3u);  // the list shows what the handler added

  // Nothing but addresses: refused.
  QMimeData remote;
  remote.setUrls({QUrl("https://example.com/x.avi")});
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&list_, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(SkinListTest, DoubleClickAndTheBackButton) {
  model_->SetRows(Rows(3));
  list_.Refresh();
  QSignalSpy doubles(&list_, &SkinList::DoubleClicked);
  QSignalSpy up(&list_, &SkinList::UpALevel);
  test::SendMouse(&list_, QEvent::MouseButtonDblClick, OnRow(1), Qt::LeftButton, Qt::LeftButton);
  test::SendMouse(&list_, QEvent::MouseButtonDblClick, OnRow(6), Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(doubles.count(), 2);
  EXPECT_EQ(doubles.at(0).at(0).toInt(), 1);
  EXPECT_EQ(doubles.at(1).at(0).toInt(), -1);
  Press(&list_, OnRow(0), Qt::NoModifier, Qt::XButton1);
  EXPECT_EQ(up.count(), 1);
  EXPECT_EQ(Marks(*model_), "...");
}

TEST_F(SkinListTest, AChangeAWorkerMakesIsDrawnWithoutAsking) {
  model_->SetEmptyText("No files");
  std::thread worker([this] { model_->SetRows(Rows(4)); });
  worker.join();
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return list_.ShownRows().size() == 4; }));
  EXPECT_EQ(list_.ShownRows()[3].columns[1], "row 3");
  EXPECT_EQ(list_.ScrollBar()->IsActive(), false);
}

TEST_F(SkinListTest, PicturesAreDrawnWhenTheFileIsThereAndNothingOtherwise) {
  test::TempDir dir;
  const std::string path = dir.File("thumb.png");
  list_.SetPictureSize(QSize(16, 16));
  model_->SetRows({{{"", "with"}, path, false}});
  list_.Refresh();
  const QColor red(255, 0, 0);
  const auto pictureCentre = [&] {
    const QRect row = list_.RowRect(0);
    return list_.grab().toImage().pixelColor(row.left() + 2 + 8, row.center().y());
  };
  const QColor background = SkinColour(list_.Colours().normal.background);
  EXPECT_EQ(pictureCentre(), background);  // not there yet

  QImage picture(32, 32, QImage::Format_RGB32);
  picture.fill(red);
  ASSERT_TRUE(picture.save(QString::fromStdString(path)));
  model_->SetRows({{{"", "with"}, path, false}});  // the row is listed again once the file is
  list_.Refresh();
  EXPECT_EQ(pictureCentre(), red);
}

TEST(SkinListView, ColumnWidthsRoundTripAndFollowTheHeaderSeparators) {
  test::QtApp();
  SkinListView view;
  view.resize(700, 300);
  ListModel model;
  view.SetModel(model);
  const std::vector<int> widths = {0, 184, 86, 172, 400};
  view.SetColumns({"", "Title", "Folder", "Date", "Size"}, widths);
  EXPECT_EQ(view.ColumnWidths(), widths);
  view.SetColumnWidths({0, 100, 50, 60, 70});
  EXPECT_EQ(view.ColumnWidths(), (std::vector<int>{0, 100, 50, 60, 70}));

  // Dragging the separator after "Title" (at x 100) by 30 pixels; the hidden column stays.
  QSignalSpy resized(&view, &SkinListView::ColumnResized);
  const int y = view.HeaderHeight() / 2;
  Press(&view, QPoint(101, y));
  test::Move(&view, QPoint(131, y), Qt::LeftButton);
  Release(&view, QPoint(131, y));
  EXPECT_EQ(view.ColumnWidths(), (std::vector<int>{0, 130, 50, 60, 70}));
  ASSERT_EQ(resized.count(), 1);
  EXPECT_EQ(resized.at(0).at(0).toInt(), 1);
  // Not narrower than the smallest width.
  Press(&view, QPoint(180, y));
  test::Move(&view, QPoint(0, y), Qt::LeftButton);
  Release(&view, QPoint(0, y));
  EXPECT_EQ(view.ColumnWidths()[2], kMinColumnWidth);
}

TEST(SkinListView, RowsInTheirColoursAndPressesBelowTheHeader) {
  test::QtApp();
  SkinListView view;
  view.resize(400, 300);
  view.SetIconSize(QSize());
  auto model = std::make_shared<ListModel>();
  model->SetRows(Rows(3));
  model->Select(1);
  view.SetModel(model);
  view.SetColumns({"", "Title"}, {0, 200});
  ListColours colours;
  colours.normal = {0x000000, 0x0000FF};  // red as a Windows colour value
  colours.selected = {0xFFFFFF, 0x00FF00};
  colours.disabled = {0x000000, 0xFF0000};
  colours.disabledSelected = {0xFFFFFF, 0x808080};
  view.SetColours(colours);
  const auto background = [&](int row) {
    return view.grab().toImage().pixelColor(view.RowsArea().width() - 4,
                                            view.RowRect(size_t(row)).center().y());
  };
  EXPECT_EQ(background(0), QColor(255, 0, 0));
  EXPECT_EQ(background(1), QColor(0, 255, 0));
  view.setEnabled(false);
  EXPECT_EQ(background(0), QColor(0, 0, 255));
  EXPECT_EQ(background(1), QColor(128, 128, 128));
  view.setEnabled(true);

  QSignalSpy pressed(&view, &SkinList::Pressed);
  Click(&view, QPoint(50, view.HeaderHeight() / 2));  // the header: no row press
  EXPECT_EQ(pressed.count(), 0);
  EXPECT_EQ(view.RowAt(QPoint(50, view.HeaderHeight() / 2)), std::nullopt);
  Click(&view, view.RowRect(2).center());
  EXPECT_EQ(pressed.count(), 1);
  EXPECT_EQ(model->NextSelected(), 2u);
  EXPECT_EQ(model->SelectedCount(), 1u);
}

class SkinTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.setObjectName("Online Tree");
    tree_.resize(300, 300);
    games_ = *model_.Add(kTreeRoot, {"Games A", "/corvanes.asp?az=A", true});
    other_ = *model_.Add(kTreeRoot, {"Games B", "/corvanes.asp?az=B", true});
    tree_.SetModel(model_);
  }
  QPoint OnText(int row) const { return tree_.RowRect(size_t(row)).center(); }

  QApplication& app_ = test::QtApp();  // before any widget
  TreeModel model_;
  SkinTree tree_;
  TreeNodeId games_ = 0, other_ = 0;
};

TEST_F(SkinTreeTest, TheMarkOpensANodeAClickSelectsADoubleClickActivates) {
  QSignalSpy expanded(&tree_, &SkinTree::NodeExpanded);
  QSignalSpy pressed(&tree_, &SkinTree::NodePressed);
  QSignalSpy activated(&tree_, &SkinTree::NodeActivated);

  Click(&tree_, tree_.MarkRect(0).center());
  ASSERT_EQ(expanded.count(), 1);
  EXPECT_EQ(expanded.at(0).at(0).toLongLong(), games_);
  EXPECT_TRUE(expanded.at(0).at(1).toBool());
  EXPECT_TRUE(model_.NeedsChildren(games_));  // the owner fills them in
  model_.SetChildren(games_, {{"Ridge Racer", "/saves.asp?game_id=7", false}});
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return tree_.ShownRows().size() == 3; }));
  EXPECT_EQ(tree_.ShownRows()[1].text, "Ridge Racer");
  EXPECT_GT(tree_.MarkRect(1).left(), tree_.MarkRect(0).left());  // indented
  EXPECT_EQ(pressed.count(), 0);

  Click(&tree_, OnText(1));
  EXPECT_EQ(pressed.count(), 1);
  EXPECT_EQ(model_.Node(*model_.Selected())->value, "/saves.asp?game_id=7");
  test::SendMouse(&tree_, QEvent::MouseButtonDblClick, OnText(2), Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(activated.count(), 1);
  EXPECT_EQ(activated.at(0).at(0).toLongLong(), other_);
  EXPECT_EQ(expanded.count(), 2);  // the double click opened it too

  // Keys: up selects the row above; left closes, then goes to the parent.
  tree_.Refresh();
  Click(&tree_, OnText(1));
  QTest::keyClick(&tree_, Qt::Key_Left);
  EXPECT_EQ(model_.Selected(), games_);
  QTest::keyClick(&tree_, Qt::Key_Left);
  EXPECT_FALSE(model_.Node(games_)->expanded);
  QTest::keyClick(&tree_, Qt::Key_Down);
  EXPECT_EQ(model_.Selected(), other_);
  QTest::keyClick(&tree_, Qt::Key_Return);
  EXPECT_EQ(activated.count(), 2);
}

}  // namespace
}  // namespace pspkvx
