#include <gtest/gtest.h>

#include "ServiceFixture.h"
#include "base/ProgramEnvironment.h"
#include "online/ServiceSettings.h"
#include "saves/ContainerValidation.h"
#include "service/ServiceCatalogue.h"

namespace pspkvx::service {
namespace {

// One demo database for the whole suite: generating it is the slow part.
class Endpoints : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    db_ = new ServiceDatabase(dir_->File("service.db"));
    FillDemoData(*db_);
  }
  static void TearDownTestSuite() {
    delete db_;
    delete dir_;
  }

  // The body of a 200 answer (the test fails otherwise).
  std::string Body(const std::string& target) {
    const auto result = service_.Get(target);
    if (!result) {
      ADD_FAILURE() << "no answer to " << target;
      return "";
    }
    EXPECT_EQ(result->status, 200) << target << ": " << result->body;
    return result->body;
  }
  ClientReading Read(const std::string& target) {
    ClientReading reading(Body(target));
    EXPECT_EQ(reading.result, 0) << target;
    return reading;
  }
  // The part of an address the service handed out after its own base.
  std::string TargetOf(const std::string& address) {
    EXPECT_EQ(address.substr(0, service_.Base().size()), service_.Base());
    return address.substr(std::min(address.size(), service_.Base().size()));
  }

  static test::TempDir* dir_;
  static ServiceDatabase* db_;
  RunningService service_{*db_};
};
test::TempDir* Endpoints::dir_ = nullptr;
ServiceDatabase* Endpoints::db_ = nullptr;

TEST_F(Endpoints, SettingsPageCarriesTheSeventeenKeysOnTheAddressItWasReachedBy) {
  const ClientReading page = Read("/tolvexPSP_settings.asp");
  for (const char* key : kSettingsKeys)
    EXPECT_NE(page.Value(key), "") << key;
  EXPECT_EQ(page.Value("CORVANES_URL"), service_.Base() + "/corvanes.asp?");
  EXPECT_EQ(page.Value("ALPHA_KAVEX_URL").back(), '?');
  EXPECT_EQ(page.Value("RESULT"), "OK");

  // The version value ends in _SIZEKB_VERSION.ext, with the release behind it.
  const std::string version = page.Value("VERSION_URL");
  const size_t dot = version.rfind('.');
  ASSERT_NE(dot, std::string::npos);
  EXPECT_EQ(version.substr(dot - 4, 4), "_" + std::to_string(ProgramVersion()));
  const size_t underscore = version.rfind('_', dot - 5);
  const int kilobytes = std::stoi(version.substr(underscore + 1));
  const std::string release = Body(TargetOf(version));
  EXPECT_EQ(static_cast<size_t>(kilobytes), (release.size() + 999) / 1000);

  const auto other = service_.Get("/tolvexPSP_settings.asp", {{"Host", "saves.example.net:8080"}});
  ASSERT_TRUE(other);
  EXPECT_EQ(ClientReading(other->body).Value("PNG_URL"), "http://saves.example.net:8080/png/");
  const auto hostile = service_.Get("/tolvexPSP_settings.asp", {{"Host", "x\"/><evil"}});
  ASSERT_TRUE(hostile);
  EXPECT_EQ(hostile->status, 400);
}

TEST_F(Endpoints, LetterIndexHasEveryInitialInEveryRegion) {
  std::array<int, 36> sum{};
  for (int region = 0; region <= 3; ++region) {
    const ClientReading index =
        Read("/alphakavex.asp?corvane=1&region_id=" + std::to_string(region));
    for (size_t i = 0; i < 36; ++i) {
      const int count = std::stoi(index.Value(LetterBlockTag(kIndexInitials[i])));
      EXPECT_GT(count, 0) << region << " " << kIndexInitials[i];
      if (region < 3) sum[i] += count;
      if (region == 3) {
        EXPECT_EQ(count, sum[i]) << "all regions: " << kIndexInitials[i];
      }
    }
  }
  // The community section lists fewer games.
  const ClientReading community = Read("/alphakavex.asp?corvane=0&region_id=3");
  EXPECT_LE(std::stoi(community.Value("<CHAR_A>")), sum[0]);
}

TEST_F(Endpoints, GamesListHoldsTheGamesOfAnInitialInARegion) {
  const ClientReading index = Read("/alphakavex.asp?corvane=1&region_id=1");
  const ClientReading games = Read("/corvanes.asp?region_id=1&az=b&rnd=0");
  ASSERT_EQ(std::to_string(games.Records()), index.Value("<CHAR_B>"));
  for (int i = 0; i < games.Records(); ++i) {
    EXPECT_EQ(games.Field(i, "<name>")[0], 'B');
    EXPECT_EQ(games.Field(i, "<game_title_id>").substr(0, 4), "ULES");
    const std::string url = games.Field(i, "<url>");
    EXPECT_NE(url.find('?'), std::string::npos);
    EXPECT_EQ(url.find('&'), std::string::npos);  // the client appends "&rnd=" to it
    EXPECT_NE(games.Field(i, "<released>"), "<missing>");
    EXPECT_EQ(Body(TargetOf(games.Field(i, "<png>"))).substr(1, 3), "PNG");
  }
  EXPECT_EQ(Read("/corvanes.asp?region_id=0&az=7&rnd=1").Field(0, "<game_title_id>").substr(0, 4),
            "ULUS");
  EXPECT_EQ(Read("/corvanes.asp?region_id=2&az=Z").Field(0, "<game_title_id>").substr(0, 4),
            "ULJM");
}

TEST_F(Endpoints, SavesListDescriptionAndSaveFileAgree) {
  const ClientReading games = Read("/corvanes.asp?region_id=3&az=C&rnd=3");
  ASSERT_GT(games.Records(), 0);
  const ClientReading saves = Read(TargetOf(games.Field(0, "<url>")) + "&rnd=4");
  ASSERT_GT(saves.Records(), 0);
  for (const char* field :
       {"<name>", "<description>", "<url>", "<png>", "<game_title_id>", "<save_id>", "<author>",
        "<posted>", "<save_filesize>", "<rating>", "<votes>"})
    EXPECT_NE(saves.Field(0, field), "<missing>") << field;
  EXPECT_EQ(saves.Field(0, "<game_title_id>"), games.Field(0, "<game_title_id>"));

  const ClientReading description = Read(TargetOf(saves.Field(0, "<url>")));
  ASSERT_EQ(description.Records(), 1);
  EXPECT_EQ(description.Field(0, "<download_size>"), saves.Field(0, "<save_filesize>"));
  const std::string file = Body(TargetOf(description.Field(0, "<download_url>")));
  EXPECT_EQ(std::to_string(file.size()), saves.Field(0, "<save_filesize>"));
  std::vector<uint8_t> container(file.begin(), file.end());
  const ContainerVerdict verdict = CheckAndValidateContainer(container);
  EXPECT_TRUE(verdict.ok()) << verdict.detail;
  EXPECT_EQ(verdict.folderName, games.Field(0, "<game_title_id>") + "SAVE00");

  // Unknown saves: an empty list, a description without a record, no file.
  EXPECT_EQ(Read("/saves.asp?game_id=987654").Records(), 0);
  EXPECT_EQ(Read("/savedesc.asp?save_id=987654").Records(), 0);
  EXPECT_EQ(service_.Get("/download.asp?save_id=987654")->status, 404);
  EXPECT_EQ(service_.Get("/png/nothing.png")->status, 404);
  EXPECT_EQ(service_.Get("/release/nothing.bin")->status, 404);
}

TEST_F(Endpoints, SavesWithoutDescriptionSayUnused) {
  bool sawUnused = false, sawText = false;
  const ClientReading games = Read("/corvanes.asp?region_id=3&az=A");
  for (int g = 0; g < games.Records(); ++g) {
    const ClientReading saves = Read(TargetOf(games.Field(g, "<url>")));
    for (int s = 0; s < saves.Records(); ++s)
      (saves.Field(s, "<description>") == "unused" ? sawUnused : sawText) = true;
  }
  EXPECT_TRUE(sawUnused);
  EXPECT_TRUE(sawText);
}

TEST_F(Endpoints, TreeDocumentWalksInitialsGamesAndSaves) {
  const std::string root = Body("/tree.asp?&random=7");
  ClientReading initials(root);
  ASSERT_EQ(initials.Records(), 36);
  EXPECT_EQ(initials.Field(0, "<name>"), "A");
  const ClientReading games = Read(TargetOf(initials.Field(0, "<url>")) + "&random=8");
  ASSERT_GT(games.Records(), 0);
  const std::string saves = Body(TargetOf(games.Field(0, "<url>")) + "&random=9");
  EXPECT_NE(saves.find("<save>"), std::string::npos);
  EXPECT_NE(saves.find("<file>\n<name>"), std::string::npos);
  EXPECT_NE(saves.find("<download_url>"), std::string::npos);
  EXPECT_EQ(Body("/tree.asp?game_id=987654&random=1"), "<result></result>");
}

TEST_F(Endpoints, UserSavesRatingsAndTheSmallEndpoints) {
  const ClientReading mine = Read("/usersaves.asp?region_id=3&user_name=ANN");
  ASSERT_GT(mine.Records(), 0);
  for (int i = 0; i < mine.Records(); ++i) {
    EXPECT_EQ(mine.Field(i, "<author>"), "ann");
    EXPECT_NE(mine.Field(i, "<game_name>"), "<missing>");
    EXPECT_NE(mine.Field(i, "<code_title_id>"), "<missing>");
  }
  EXPECT_EQ(Read("/usersaves.asp?region_id=3&user_name=nobody").Records(), 0);
  EXPECT_EQ(Read("/checkuser.asp?user_name=Ann").Value("RESULT"), "1");
  EXPECT_EQ(Read("/checkuser.asp?user_name=nobody").Value("RESULT"), "0");

  const std::string saveId = mine.Field(0, "<save_id>");
  const int votes = std::stoi(mine.Field(0, "<votes>"));
  EXPECT_EQ(Read("/rate.asp?save_id=" + saveId + "&rating=100").Value("RESULT"), "OK");
  EXPECT_EQ(Read("/usersaves.asp?user_name=ann").Field(0, "<votes>"), std::to_string(votes + 1));
  EXPECT_EQ(Read("/rate.asp?save_id=987654&rating=50").Value("RESULT"), "NO_SUCH_SAVE");
  EXPECT_EQ(service_.Get("/rate.asp?save_id=1&rating=101")->status, 400);

  int total = 0;
  for (char c : std::string(kIndexInitials))
    total += std::stoi(Read("/alphakavex.asp?region_id=3").Value(LetterBlockTag(c)));
  EXPECT_EQ(Read("/numgames.asp?region_id=3").Value("RESULT"), std::to_string(total));
  EXPECT_EQ(Read("/upload.asp?user_name=ann").Value("RESULT"), "NOT_AVAILABLE");
  EXPECT_EQ(Read("/codelist.asp?").Records(), 0);
}

TEST_F(Endpoints, HostileQueriesGetA400OrNothingAndTheServiceKeepsServing) {
  const int savesBefore = Read("/saves.asp?game_id=1").Records();
  const struct {
    std::string target;
    int status;
  } cases[] = {
      {"/saves.asp?game_id=1'%20OR%20'1'='1", 400},
      {"/saves.asp?game_id=1%27%20OR%20%271%27%3D%271", 400},
      {"/saves.asp?game_id=1;DROP%20TABLE%20saves", 400},
      {"/saves.asp?game_id=-1", 400},
      {"/saves.asp?game_id=99999999999999999999999", 400},
      {"/saves.asp?game_id=", 400},
      {"/saves.asp?game_id=1%00", 400},
      {"/corvanes.asp?region_id=3&az=%27", 400},
      {"/corvanes.asp?region_id=3&az=AB", 400},
      {"/corvanes.asp?region_id=9&az=A", 400},
      {"/corvanes.asp?region_id=3", 400},
      {"/alphakavex.asp?corvane=1&region_id=3%20OR%201", 400},
      {"/savedesc.asp?save_id=1&rnd=x", 400},
      {"/download.asp?save_id=0", 400},
      {"/usersaves.asp?user_name=" + std::string(300, 'a'), 400},
      {"/usersaves.asp?user_name=" + std::string(5000, '%'), 400},
      {"/tree.asp?az=%3C", 400},
      {"/usersaves.asp?user_name=x%27%20OR%20%271%27%3D%271%27--", 200},
      {"/usersaves.asp?user_name=%22%3B%20DELETE%20FROM%20saves%3B", 200},
  };
  for (const auto& c : cases) {
    const auto result = service_.Get(c.target);
    ASSERT_TRUE(result) << c.target;
    EXPECT_EQ(result->status, c.status) << c.target;
    if (result->status == 200) {
      EXPECT_EQ(ClientReading(result->body).Records(), 0) << c.target;
    }
  }
  const auto huge = service_.Get("/saves.asp?game_id=" + std::string(20000, '1'));
  ASSERT_TRUE(huge);
  EXPECT_GE(huge->status, 400);
  EXPECT_EQ(Read("/saves.asp?game_id=1").Records(), savesBefore);
}

TEST_F(Endpoints, PictureAndReleaseNamesPassTheNameRule) {
  const std::string version = Read("/tolvexPSP_settings.asp").Value("VERSION_URL");
  const std::string release = TargetOf(version);
  const struct {
    std::string target;
    int status;
  } cases[] = {
      {"/png/ULUS11000.png", 200},
      {release, 200},
      {"/png/NOSUCH.png", 404},
      {"/release/pspkvx_upgrade_1_999.bin", 404},
      {"/png/", 400},
      {"/png/..", 400},
      {"/png/%2E%2E", 400},
      {"/png/.%20.", 400},
      {"/png/..%2F..%2Fetc%2Fpasswd", 400},
      {"/png/sub%5CULUS11000.png", 400},
      {"/png/C%3AULUS11000.png", 400},
      {"/png/ULUS11000.png%00.txt", 400},
      {"/release/", 400},
      {"/release/..", 400},
      {"/release/x%2F..%2F" + release.substr(std::string("/release/").size()), 400},
  };
  for (const auto& c : cases) {
    const auto result = service_.Get(c.target);
    ASSERT_TRUE(result) << c.target;
    EXPECT_EQ(result->status, c.status) << c.target << ": " << result->body;
    if (c.status == 400) {
      EXPECT_NE(result->body.find("the name "), std::string::npos) << c.target;
    }
  }
}

TEST_F(Endpoints, LogsOneLinePerRequest) {
  Body("/tolvexPSP_settings.asp");
  service_.Get("/saves.asp?game_id=x");
  service_.Get("/no/such/page");
  // The server writes its log line just after the answer has gone out.
  std::vector<std::string> log = service_.Log();
  for (int i = 0; i < 2000 && log.size() < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    log = service_.Log();
  }
  ASSERT_EQ(log.size(), 3u);
  // Lines come in the order the server's threads finish, which need not be the requests'.
  for (const char* expected : {" GET /tolvexPSP_settings.asp 200 ",
                               " GET /saves.asp?game_id=x 400 ", " GET /no/such/page 404 "}) {
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [&](const std::string& line) {
                              return line.find(expected) != std::string::npos;
                            }),
              1)
        << expected;
  }
}

}  // namespace
}  // namespace pspkvx::service
