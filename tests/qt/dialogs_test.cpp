// The four small dialogs, run modally as the window runs them.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/AppConfig.h"
#include "base/StringTable.h"
#include "qt/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/ConnectionGuide.h"
#include "ui/MessageBoxLayout.h"
#include "ui/qt/InfoDialog.h"
#include "ui/qt/MessageBoxDialog.h"
#include "ui/qt/NameEntryDialog.h"
#include "ui/qt/OptionsDialog.h"
#include "ui/qt/SkinButton.h"

namespace pspkvx {
namespace {

// Runs act on the dialog once its modal loop is running.
void WhenShown(QDialog& dialog, std::function<void()> act) {
  QTimer::singleShot(0, &dialog, std::move(act));
}

std::vector<SkinButton*> Buttons(const QWidget& dialog) {
  std::vector<SkinButton*> buttons;
  for (int i = 1; i <= 4; ++i)
    if (auto* button = dialog.findChild<SkinButton*>(QString("Button%1").arg(i)))
      buttons.push_back(button);
  return buttons;
}

TEST(MessageBoxDialog, ButtonsByTypeOnTheirRowEachReturningItsResult) {
  test::QtApp();
  struct Case {
    int type;
    std::vector<int> results;
    std::vector<std::string> labels;
  };
  const std::vector<Case> cases = {
      {2, {1}, {"OK"}},  // unknown types: one OK
      {6, {1}, {"OK"}},
      {MbYesNo, {6, 7}, {"Yes", "No"}},
      {MbExistingDestination, {6, 7, 2}, {"Overwrite", "Rename", "Skip"}},
      {MbExistingDestinationAdd, {6, 7, 2, 39321}, {"Overwrite", "Rename", "Skip", "Add To List"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const int count = static_cast<int>(c.results.size());
    for (int pressed = 0; pressed < count; ++pressed) {
      MessageBoxRequest request;
      request.text = "The destination file already exists.";
      request.type = c.type;
      MessageBoxDialog box(nullptr, request);
      const std::vector<SkinButton*> buttons = Buttons(box);
      ASSERT_EQ(buttons.size(), c.results.size());
      const std::vector<int> positions = MessageBoxButtonPositions(count);
      for (int i = 0; i < count; ++i) {
        EXPECT_EQ(buttons[i]->x(), positions[i]) << i;
        EXPECT_EQ(buttons[i]->y(), buttons[0]->y());
        EXPECT_EQ(buttons[i]->Label().toStdString(), c.labels[i]);
        EXPECT_EQ(buttons[i]->isDefault(), i == 0);
      }
      EXPECT_EQ(box.width(), kMessageBoxWidth);
      WhenShown(box, [&] { test::Click(buttons[pressed], QPoint(5, 5)); });
      EXPECT_EQ(box.Run(), c.results[pressed]) << "button " << pressed + 1;
    }
  }
}

TEST(MessageBoxDialog, LabelsFacesTheOpenFlagClosingAndDragging) {
  test::QtApp();
  MessageBoxRequest request;
  request.text = "This program will use AVC encoding.";
  request.type = MbOkCancel;
  request.labels = {IDS_OK, IDS_MORE_INFO, 0, 0};
  request.faces[1] = {500, 501, 502};
  EXPECT_FALSE(MessageBoxIsOpen());
  {
    MessageBoxDialog box(nullptr, request);
    EXPECT_TRUE(MessageBoxIsOpen());
    const std::vector<SkinButton*> buttons = Buttons(box);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[1]->Label(), "More Info");
    EXPECT_EQ(buttons[0]->Faces(), (std::array<int, 3>{239, 238, 237}));
    EXPECT_EQ(buttons[1]->Faces(), (std::array<int, 3>{500, 501, 502}));
    EXPECT_EQ(box.findChild<QLabel*>("MessageText")->geometry(), QRect(30, 32, 340, 110));

    // Closing (Escape) counts as the last button.
    WhenShown(box, [&] { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(box.Run(), ResultCancel);
    // Enter presses the default, first button.
    WhenShown(box, [&] { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(box.Run(), ResultOk);

    // A press anywhere on the face drags the box.
    box.move(100, 100);
    const QPoint start = box.pos();
    test::Press(&box, QPoint(20, 20));
    test::Move(&box, QPoint(60, 50), Qt::LeftButton);
    test::Release(&box, QPoint(60, 50));
    EXPECT_EQ(box.pos(), start + QPoint(40, 30));
  }
  EXPECT_FALSE(MessageBoxIsOpen());

  // The existing-destination question's extra buttons come in their own faces.
  request.type = MbExistingDestination;
  request.labels = {};
  request.faces = {kDefaultFaces, kDefaultFaces, kDefaultFaces, kDefaultFaces};
  MessageBoxDialog question(nullptr, request);
  const std::vector<SkinButton*> buttons = Buttons(question);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0]->Faces(), (std::array<int, 3>{239, 238, 237}));
  for (size_t i = 1; i < buttons.size(); ++i)
    EXPECT_EQ(buttons[i]->Faces(), (std::array<int, 3>{405, 407, 406})) << i;
}

TEST(MessageBoxDialog, ALongMessageMakesTheBoxTallerNotCutOff) {
  test::QtApp();
  MessageBoxRequest request;
  request.text = PspConnectionGuide();
  MessageBoxDialog box(nullptr, request);
  auto* text = box.findChild<QLabel*>("MessageText");
  EXPECT_GT(box.height(), kMessageBoxHeight);
  EXPECT_EQ(box.width(), kMessageBoxWidth);
  EXPECT_EQ(text->height(), box.height() - 70);
  EXPECT_GE(Buttons(box)[0]->y(), text->geometry().bottom());
  EXPECT_EQ(text->text().toStdString(), request.text);
}

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::QtApp();
    SetConfigDefaults(config_, "/docs");
    config_.SearchForPsp = 1;
    config_.NoUpdateCheckAtStart = 0;
    config_.PspDriveLetter = 'Z';
    config_.OnlineRegion = 0;
  }
  test::TempDir dir_;
  AppConfig config_;
};

TEST_F(OptionsDialogTest, OkWithoutChangesKeepsTheFlagsAndWritesTheRecord) {
  OptionsModel model(config_);
  OptionsDialog dialog(model, dir_.path());
  auto* fixed = dialog.findChild<QCheckBox*>("FixedDriveBox");
  auto* atStart = dialog.findChild<QCheckBox*>("CheckAtStartBox");
  ASSERT_TRUE(fixed && atStart);
  EXPECT_EQ(fixed->text(), "Do not search for the PSP. My PSP is on the following drive:");
  EXPECT_EQ(atStart->text(), "Automattically check for updates when program starts.");
  EXPECT_FALSE(fixed->isChecked());
  EXPECT_TRUE(atStart->isChecked());
  EXPECT_TRUE(
      dialog.findChild<QLabel*>("VersionText")->text().startsWith("Current version is 1.15"));
  WhenShown(dialog, [&] { test::Click(dialog.findChild<SkinButton*>("OkButton"), QPoint(5, 5)); });
  EXPECT_EQ(dialog.Run(), OptionsOutcome::Accepted);
  EXPECT_EQ(config_.SearchForPsp, 1);
  EXPECT_EQ(config_.NoUpdateCheckAtStart, 0);
  EXPECT_EQ(config_.OnlineRegion, 3);
  EXPECT_TRUE(model.ConfigSaved());
  EXPECT_TRUE(test::FileExists(dir_.File(kConfigFileName)));
}

TEST_F(OptionsDialogTest, TheSpinWrapsAndSurvivesCancelWhichStoresNoBox) {
  OptionsModel model(config_);
  OptionsDialog dialog(model, dir_.path());
  auto* spin = dialog.findChild<QAbstractSpinBox*>("DriveLetterSpin");
  ASSERT_TRUE(spin);
  EXPECT_EQ(spin->text(), "Z");
  WhenShown(dialog, [&] {
    spin->stepUp();  // past Z: D
    EXPECT_EQ(spin->text(), "D");
    spin->stepDown();
    spin->stepDown();  // back past D: Z, then Y
    EXPECT_EQ(spin->text(), "Y");
    dialog.findChild<QCheckBox*>("FixedDriveBox")->setChecked(true);
    dialog.findChild<QCheckBox*>("CheckAtStartBox")->setChecked(false);
    test::Click(dialog.findChild<SkinButton*>("CancelButton"), QPoint(5, 5));
  });
  EXPECT_EQ(dialog.Run(), OptionsOutcome::Cancelled);
  EXPECT_EQ(config_.PspDriveLetter, 'Y');
  EXPECT_EQ(config_.SearchForPsp, 1);
  EXPECT_EQ(config_.NoUpdateCheckAtStart, 0);
  EXPECT_FALSE(test::FileExists(dir_.File(kConfigFileName)));
}

TEST_F(OptionsDialogTest, CheckForUpdatesNowClosesTheDialogForTheCallersCheck) {
  OptionsModel model(config_);
  OptionsDialog dialog(model, dir_.path());
  WhenShown(dialog, [&] {
    dialog.findChild<QCheckBox*>("FixedDriveBox")->setChecked(true);
    test::Click(dialog.findChild<SkinButton*>("CheckNowButton"), QPoint(5, 5));
  });
  EXPECT_EQ(dialog.Run(), OptionsOutcome::CheckForUpdates);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(config_.SearchForPsp, 1);
}

TEST(NameEntryDialog, TypingStopsAt33AndAProposedLongerNameStaysWhole) {
  test::QtApp();
  {
    NameEntryDialog dialog(StringOf(IDS_ENTER_GROUP_NAME), "");
    auto* edit = dialog.findChild<QLineEdit*>("NameEdit");
    EXPECT_EQ(dialog.findChild<QLabel*>("PromptText")->text(), "Enter a name for the folder group");
    WhenShown(dialog, [&] {
      QTest::keyClicks(edit, QString(33, 'a') + "b");  // the 34th is refused
      EXPECT_EQ(edit->text(), QString(33, 'a'));
      QTest::keyClick(edit, Qt::Key_Backspace);
      QTest::keyClicks(edit, "c");
      EXPECT_EQ(edit->text(), QString(32, 'a') + "c");
      QTest::keyClick(edit, Qt::Key_Return);  // Enter acts as OK
    });
    EXPECT_EQ(dialog.Run(), std::string(32, 'a') + "c");
  }
  {
    const std::string proposed(40, 'n');
    NameEntryDialog dialog(StringOf(IDS_EDIT_FILE_NAME), proposed);
    auto* edit = dialog.findChild<QLineEdit*>("NameEdit");
    EXPECT_EQ(edit->text().toStdString(), proposed);
    WhenShown(dialog, [&] {
      EXPECT_FALSE(edit->hasSelectedText());  // the caret at the end, nothing selected
      QTest::keyClicks(edit, "x");
      EXPECT_EQ(edit->text().toStdString(), proposed);
      QTest::keyClick(edit, Qt::Key_Backspace);
      EXPECT_EQ(edit->text().size(), 39);
      QTest::keyClicks(edit, "y");  // 40 again is still refused: above 33 and longer than 39
      EXPECT_EQ(edit->text().size(), 39);
      test::Click(dialog.findChild<SkinButton*>("OkButton"), QPoint(5, 5));
    });
    EXPECT_EQ(dialog.Run(), std::string(39, 'n'));
  }
  {
    NameEntryDialog dialog(StringOf(IDS_EDIT_GROUP_NAME), "Holiday");
    WhenShown(dialog,
              [&] { test::Click(dialog.findChild<SkinButton*>("CancelButton"), QPoint(5, 5)); });
    EXPECT_EQ(dialog.Run(), "");
  }
}

TEST(InfoDialog, ShowsTheTextReadOnly) {
  test::QtApp();
  InfoDialog dialog(PspConnectionGuide());
  auto* text = dialog.findChild<QPlainTextEdit*>("InfoText");
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_TRUE(text->toPlainText().startsWith("For your PSP to be found"));
  EXPECT_TRUE(text->toPlainText().contains(QString::fromUtf8(StringText(IDS_PSP_HELP_STEP7))));
  WhenShown(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Return); });
  dialog.Run();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace pspkvx
