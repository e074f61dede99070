// The online page's browser against a scripted service on the loopback: the views, their
// requests and rows, Back and Refresh, and the pictures reaching the rows.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>

#include "base/StringTable.h"
#include "online/LoopbackServer.h"
#include "online/ServiceTags.h"
#include "support/TempDir.h"
#include "support/TestPictures.h"
#include "ui/OnlineBrowser.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;
using test::ScriptedAnswer;

class FakeBrowserHost : public IOnlineBrowserHost {
 public:
  void SetStatusText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    status_ = text;
  }
  std::string StatusText() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
  }
  bool OnOnlinePage() override { return true; }

 private:
  mutable std::mutex mutex_;
  std::string status_;
};

ScriptedAnswer Reply(const std::string& body, int status = 200) {
  return {ScriptedAnswer::Reply, body, status};
}

std::string Png() {
  test::TempDir dir;
  test::WritePicture(dir.File("p.png"), FIF_PNG, 8, 6);
  return test::ReadFileBytes(dir.File("p.png"));
}

class OnlineBrowserTest : public ::testing::Test {
 protected:
  OnlineBrowserTest() {
    RegisterServiceTags(table_);
    server_.On("/tolvexPSP_settings.asp",
               Reply("<result>\nCORVANES_URL=" + server_.Url("/games.asp?") +
                     "\nALPHA_KAVEX_URL=" + server_.Url("/index.asp?") + "\n</result>\n"));
    server_.On("/index.asp", Reply("<result>\n<CHAR_A>2</CHAR_A>\n<CHAR_B>0</CHAR_B>\n"
                                   "<CHAR_Q>1</CHAR_Q>\n<CHAR_7>3</CHAR_7>\n</result>\n"));
    server_.On("/games.asp", Reply(Game("Ace Racer", "ULUS10001", "/png/a/shared.png", 1) +
                                   Game("Ace Golf", "ULES00002", "/png/b/Shared.PNG", 2)));
    server_.On("/saves1.asp", Reply(Save("First", "unused", 10239, 11)));
    server_.On("/saves2.asp", Reply(Save("Second", "Everything unlocked", 2097152, 12) +
                                    Save("Third", "", 10240, 13)));
    server_.On("/png/a/shared.png", Reply(Png()));
    server_.On("/png/b/Shared.PNG", Reply(Png()));
    endpoints_ = EndpointsFor(server_.HostPort());
    browser_.SetPauses({1ms, 1ms, 1ms, 1ms});
  }

  std::string Game(const std::string& name, const std::string& code, const std::string& png,
                   int number) const {
    return "<result>\n<folder>\n<name>" + name + "</name>\n<url>" +
           server_.Url("/saves" + std::to_string(number) +
                       ".asp?game_id=" + std::to_string(number)) +
           "</url>\n<png>" + server_.Url(png) + "</png>\n<game_title_id>" + code +
           "</game_title_id>\n<released>2006-0" + std::to_string(number) +
           "-01</released>\n</folder>\n</result>\n";
  }
  static std::string Save(const std::string& name, const std::string& description, int size,
                          int id) {
    return "<result>\n<save>\n<name>" + name + "</name>\n<description>" + description +
           "</description>\n<url>http://s/savedesc.asp?save_id=" + std::to_string(id) +
           "</url>\n<save_id>" + std::to_string(id) + "</save_id>\n<author>ann</author>\n" +
           "<save_filesize>" + std::to_string(size) + "</save_filesize>\n<rating>50</rating>\n" +
           "<votes>2</votes>\n<posted>2007-01-01</posted>\n</save>\n</result>\n";
  }

  // Runs cycles of the browser until done holds (at most ten seconds).
  bool CycleUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      browser_.RunCycle(stop_);
    }
    return true;
  }
  std::vector<std::string> Texts(size_t column) const {
    std::vector<std::string> texts;
    for (const ListRow& row : list_.Rows())
      texts.push_back(column < row.columns.size() ? row.columns[column] : "");
    return texts;
  }
  size_t RequestsTo(const std::string& path) const {
    size_t count = 0;
    for (const std::string& target : server_.Requests())
      count += target.rfind(path, 0) == 0;
    return count;
  }
  void ToGames(size_t letterRow) {
    ASSERT_TRUE(CycleUntil([&] { return list_.RowCount() > letterRow; }));
    browser_.ClickRow(letterRow);
    ASSERT_TRUE(
        CycleUntil([&] { return browser_.CurrentView() == ViewGames && list_.RowCount() > 0; }));
  }

  test::LoopbackServer server_;
  TagTable table_;
  TagTableFetcher fetcher_{table_};
  ServiceEndpoints endpoints_;
  ListModel list_;
  ThumbnailCache pictures_;
  FakeBrowserHost host_;
  ManualResetEvent stop_;
  OnlineBrowser browser_{fetcher_, endpoints_, list_, pictures_, host_, [] { return 3; }};
};

TEST_F(OnlineBrowserTest, TheLetterIndexListsTheInitialsWithGamesAndClearsItsStatusText) {
  ASSERT_TRUE(CycleUntil([&] { return list_.RowCount() > 0; }));
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"A (2)", "Q (1)", "7  (3)"}));
  EXPECT_EQ(host_.StatusText(), "");
  const std::vector<std::string> requests = server_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1], "/index.asp?corvane=1&region_id=3");
}

TEST_F(OnlineBrowserTest, AnEmptyIndexIsFetchedAgain) {
  server_.On("/index.asp", Reply("<result>\n</result>\n"));
  ASSERT_TRUE(CycleUntil([&] { return RequestsTo("/index.asp") >= 2; }));
  EXPECT_EQ(list_.RowCount(), 0u);
  EXPECT_EQ(list_.EmptyText(), "There are currently no saves for the Corvanes section.");
}

TEST_F(OnlineBrowserTest, GamesOfALetterShareOnePictureByItsNameAndShowIt) {
  ToGames(0);
  EXPECT_EQ(browser_.Letter(), 'A');
  EXPECT_EQ(Texts(GameColumnName), (std::vector<std::string>{"Ace Racer", "Ace Golf"}));
  EXPECT_EQ(Texts(GameColumnRegion), (std::vector<std::string>{"US", "EUR"}));
  EXPECT_EQ(Texts(GameColumnPictureKey), (std::vector<std::string>{"shared.png", "Shared.PNG"}));
  const std::vector<std::string> requests = server_.Requests();
  EXPECT_EQ(requests[2], "/games.asp?region_id=3&az=A&rnd=0");
  // One entry for both names, which differ only in case; both rows get its picture.
  EXPECT_EQ(pictures_.EntryCount(), 1u);
  ASSERT_TRUE(CycleUntil([&] {
    const auto rows = list_.Rows();
    return rows.size() == 2 && rows[0].pictureBytes && rows[1].pictureBytes;
  }));
  EXPECT_EQ(RequestsTo("/png/"), 1u);
}

TEST_F(OnlineBrowserTest, AGameClickedListsItsOwnSavesAndBackFetchesTheGamesAgain) {
  ToGames(0);
  browser_.ClickRow(1);
  ASSERT_TRUE(
      CycleUntil([&] { return browser_.CurrentView() == ViewSaves && list_.RowCount() == 2; }));
  // The saves of the game under the click, whatever reply the table holds now.
  EXPECT_EQ(RequestsTo("/saves2.asp?game_id=2&rnd=1"), 1u);
  EXPECT_EQ(Texts(OnlineSaveTitle),
            (std::vector<std::string>{"Second  (2.00Mb)", "Third  (0.01Mb)"}));
  EXPECT_EQ(Texts(OnlineSaveGame), (std::vector<std::string>{"Ace Golf (EUR)", "Ace Golf (EUR)"}));
  EXPECT_EQ(browser_.SelectedGameTexts().code, "ULES00002");

  // A save clicked is chosen and highlighted; clicked again, the choice is cleared.
  browser_.ClickRow(1);
  ASSERT_TRUE(browser_.SelectedSaveChoice());
  EXPECT_EQ(browser_.SelectedSaveChoice()->saveId, 13);
  EXPECT_EQ(browser_.SelectedSaveChoice()->bytes, 10240);
  EXPECT_TRUE(list_.Row(1)->selected);
  browser_.ClickRow(1);
  EXPECT_FALSE(browser_.SelectedSaveChoice());
  EXPECT_EQ(list_.SelectedCount(), 0u);

  const size_t gamesBefore = RequestsTo("/games.asp");
  browser_.Back();
  ASSERT_TRUE(
      CycleUntil([&] { return browser_.CurrentView() == ViewGames && list_.RowCount() == 2; }));
  EXPECT_EQ(RequestsTo("/games.asp"), gamesBefore + 1);
  browser_.Back();
  ASSERT_TRUE(
      CycleUntil([&] { return browser_.CurrentView() == ViewLetters && list_.RowCount() == 3; }));
}

TEST_F(OnlineBrowserTest, RefreshInTheSavesViewFetchesTheSameListAgainAndKeepsTheChoice) {
  ToGames(0);
  browser_.ClickRow(0);
  ASSERT_TRUE(
      CycleUntil([&] { return browser_.CurrentView() == ViewSaves && list_.RowCount() == 1; }));
  EXPECT_EQ(Texts(OnlineSaveDescription), (std::vector<std::string>{""}));  // "unused"
  EXPECT_EQ(Texts(OnlineSaveTitle), (std::vector<std::string>{"First  (10 Kb)"}));
  browser_.ClickRow(0);
  browser_.Refresh();
  ASSERT_TRUE(CycleUntil([&] { return RequestsTo("/saves1.asp") == 2 && list_.RowCount() == 1; }));
  EXPECT_EQ(browser_.CurrentView(), ViewSaves);
  // The chosen save is still the chosen one.
  EXPECT_EQ(browser_.SelectedSave(), 0);
  EXPECT_TRUE(list_.Row(0)->selected);
}

TEST_F(OnlineBrowserTest, EmptyAndFailedListsShowTheirLines) {
  server_.On("/games.asp", Reply("<result>\n</result>\n"));
  ASSERT_TRUE(CycleUntil([&] { return list_.RowCount() == 3; }));
  browser_.ClickRow(1);  // Q
  const std::string none = StringOf(IDS_NO_SAVES_FOR_LETTER) + " \"Q\".";
  ASSERT_TRUE(
      CycleUntil([&] { return browser_.CurrentView() == ViewGames && list_.EmptyText() == none; }));
  EXPECT_EQ(list_.RowCount(), 0u);
  // A reply that is not in the service's format.
  server_.On("/games.asp", Reply("<html>busy</html>\n"));
  browser_.Refresh();
  ASSERT_TRUE(CycleUntil([&] { return list_.EmptyText() == StringOf(IDS_PAGE_LOAD_FAILED); }));
}

}  // namespace
}  // namespace pspkvx
