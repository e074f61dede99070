#include <gtest/gtest.h>

#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include <QLabel>
#include <filesystem>
#include "app/ManagerApp.h"
#include "base/WindowMessages.h"
#include "qt/QtTestApp.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/ControlIds.h"
#include "ui/qt/EnterKeyFilter.h"
#include "ui/qt/ManagerWindow.h"
#include "ui/qt/MessageBoxDialog.h"
#include "ui/qt/SkinListView.h"

namespace pspkvx {
namespace {

class ManagerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::QtApp();
    platform_.programPath = dir_.File("PSPKVX");
    SetConfigDefaults(app_.m_config, "/docs");
  }
  test::TempDir dir_;
  test::FakePlatform platform_;
  CManagerApp app_{platform_};
};

TEST_F(ManagerWindowTest, ShowsFiveTabsAndEndsWithOkOnExit) {
  ManagerWindow window(app_);
  window.show();
  EXPECT_GE(window.minimumWidth(), 740);
  EXPECT_GE(window.minimumHeight(), 520);
  QStringList captions;
  for (int page = 0; page < 5; ++page) {
    auto* tab = window.findChild<QPushButton*>(QString("PageTab%1").arg(page));
    ASSERT_TRUE(tab);
    captions << tab->text();
  }
  EXPECT_EQ(captions, QStringList({"Video", "Music", "Photos", "Game Saves", "Online Saves"}));
  EXPECT_EQ(window.CurrentPage(), 0);
  QTest::mouseClick(window.findChild<QPushButton*>("PageTab3"), Qt::LeftButton);
  EXPECT_EQ(window.CurrentPage(), 3);

  QTimer::singleShot(0, &window, [&] {
    QTest::mouseClick(window.findChild<QPushButton*>("ExitButton"), Qt::LeftButton);
  });
  EXPECT_EQ(window.exec(), ResultOk);
}

TEST_F(ManagerWindowTest, EscapeAndCloseDoNotLoseTheSettings) {
  ManagerWindow window(app_);
  QTimer::singleShot(0, &window, [&] {
    QTest::keyClick(&window, Qt::Key_Escape);  // ignored by the main window
    window.close();                            // runs the exit sequence
  });
  EXPECT_EQ(window.exec(), ResultOk);
}

TEST_F(ManagerWindowTest, EnterIsSwallowedBeforePspkvxWindowsSeeIt) {
  EnterKeyFilter filter;
  test::QtApp().installEventFilter(&filter);
  QDialog dialog;
  auto* layout = new QVBoxLayout(&dialog);
  auto* edit = new QLineEdit(&dialog);
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  layout->addWidget(edit);
  layout->addWidget(ok);
  int accepted = 0, returns = 0;
  QObject::connect(&dialog, &QDialog::accepted, [&] { ++accepted; });
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++returns; });
  dialog.show();
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Enter);
  QTest::keyClick(edit, Qt::Key_A);  // other keys still arrive
  EXPECT_EQ(returns, 0);
  EXPECT_EQ(accepted, 0);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(edit->text(), "a");
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
  EXPECT_EQ(accepted, 0);

  // The file dialogs keep it: Enter opens the folder typed.
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  files.show();
  auto* name = files.findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  int fileReturns = 0;
  QObject::connect(name, &QLineEdit::returnPressed, [&] { ++fileReturns; });
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_EQ(fileReturns, 1);
  // A key typed on the desktop reaches the dialog's QWindow before the name box.
  files.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&files));
  name->setFocus();
  QTest::keyClick(files.windowHandle(), Qt::Key_Return);
  EXPECT_EQ(fileReturns, 2);
  test::QtApp().removeEventFilter(&filter);
}

TEST_F(ManagerWindowTest, WorkerMessageIsHandledOnTheWindowThreadWhileTheWorkerWaits) {
  ManagerWindow window(app_);
  std::atomic<bool> workerDone{false};
  std::atomic<bool> handlerRanBeforeReturn{false};
  bool handledOnGuiThread = false;
  std::atomic<bool> handlerRan{false};
  std::thread worker([&] {
    window.Bridge().Send([&] {
      handledOnGuiThread = QThread::currentThread() == test::QtApp().thread();
      handlerRan = true;
      return intptr_t(0);
    });
    handlerRanBeforeReturn = handlerRan.load();
    window.SendWindowMessage(WM_STATUS_CHANGED, 0, 0);
    workerDone = true;
  });
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return workerDone.load(); }));
  worker.join();
  EXPECT_TRUE(handledOnGuiThread);
  EXPECT_TRUE(handlerRanBeforeReturn);
}

TEST_F(ManagerWindowTest, MessageBoxFromAWorkerIsShownByTheWindow) {
  ManagerWindow window(app_);
  window.show();
  std::atomic<int> result{-1};
  std::atomic<bool> flagWhileShown{false};
  std::thread worker([&] { result = app_.DoMessageBox("Delete the entire save?", MbYesNo); });
  // The box runs its own modal loop; a timer inside that loop answers "No" (the second button).
  QString secondLabel;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<MessageBoxDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    flagWhileShown = window.MessageShowing();
    if (auto* no = box->findChild<QPushButton*>("Button2")) {
      secondLabel = no->text();
      no->click();
    }
  });
  answer.start(10);
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return result.load() != -1; }));
  worker.join();
  EXPECT_EQ(result, ResultNo);
  EXPECT_EQ(secondLabel, "No");
  EXPECT_TRUE(flagWhileShown);
  EXPECT_FALSE(window.MessageShowing());
}

// The saves page as a user meets it: the stick's saves in the list, one chosen with the mouse and
// deleted with the button after the question.
TEST_F(ManagerWindowTest, TheSavesPageDeletesTheChosenSaveAfterTheQuestion) {
  const std::string stick = dir_.File("stick");
  std::filesystem::create_directories(stick + "/PSP/SAVEDATA/ULUS10041");
  test::WriteFileBytes(stick + "/PSP/SAVEDATA/ULUS10041/PARAM.SFO",
                       std::string(4784, 'x') + std::string("Ridge Racer", 12));
  platform_.PlugInPsp('P', stick + "/", uint64_t(1) << 30, uint64_t(1) << 29);
  app_.m_config.SearchForPsp = 0;
  app_.m_config.PspDriveLetter = 'P';
  ManagerWindow window(app_);
  window.show();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return window.PspDrive().IsReady(); }));
  QTest::mouseClick(window.findChild<QPushButton*>("PageTab3"), Qt::LeftButton);
  auto* list = qobject_cast<SkinListView*>(window.Control(IdPspSavesList));
  ASSERT_TRUE(list && list->isVisible());
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return list->ShownRows().size() == 1; }));
  EXPECT_EQ(list->ShownRows()[0].columns[0], "Ridge Racer");

  auto* remove = window.findChild<QPushButton*>("DeleteFromPspButton");
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return remove->isEnabled(); }));  // the timer saw it
  test::Click(list, list->RowRect(0).center());
  EXPECT_EQ(window.Logic().List(IdPspSavesList).SelectedCount(), 1u);
  QString question;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<MessageBoxDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    question = box->findChild<QLabel*>("MessageText")->text();
    box->findChild<QPushButton*>("Button1")->click();  // Yes
  });
  answer.start(10);
  QTest::mouseClick(remove, Qt::LeftButton);
  answer.stop();
  EXPECT_EQ(question, "Delete the entire save?\r\n\r\nULUS10041");
  EXPECT_FALSE(std::filesystem::exists(stick + "/PSP/SAVEDATA/ULUS10041"));
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return list->ShownRows().empty(); }));
}

}  // namespace
}  // namespace pspkvx
