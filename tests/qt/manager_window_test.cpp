#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "app/ManagerApp.h"
#include "base/WindowMessages.h"
#include "qt/QtTestApp.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/qt/EnterKeyFilter.h"
#include "ui/qt/ManagerWindow.h"
#include "ui/qt/MessageBoxDialog.h"

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

TEST_F(ManagerWindowTest, EnterIsSwallowedBeforeAnyWindowSeesIt) {
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

}  // namespace
}  // namespace pspkvx
