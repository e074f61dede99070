#include <gtest/gtest.h>

#include <filesystem>

#include "ServiceFixture.h"
#include "base/ProgramEnvironment.h"
#include "saves/ContainerInfo.h"
#include "saves/ContainerValidation.h"
#include "service/DemoIcon.h"
#include "service/ServiceCatalogue.h"
#include "service/XmlReply.h"

namespace pspkvx::service {
namespace {

void MakeSaveFolder(const std::string& folder) {
  std::filesystem::create_directories(folder);
  test::WriteFileBytes(folder + "/ICON0.PNG", MakeIconPng("icon"));
  test::WriteFileBytes(folder + "/DATA.BIN", std::string(3000, '\x5a'));
  test::WriteFileBytes(folder + "/PARAM.SFO", "sfo");
}

TEST(Catalogue, RegionsAndInitialsAsTheClientReadsThem) {
  const struct {
    const char* titleId;
    int region;
  } regions[] = {{"ULUS10041", kRegionUsa},
                 {"ULES00151", kRegionEurope},
                 {"ULJM05001", kRegionJapan},
                 {"NPJH50001", kRegionJapan},
                 {"ULJS00001", kRegionJapan},
                 {"UCAS40001", -1},
                 {"UL", -1}};
  for (const auto& r : regions)
    EXPECT_EQ(RegionOfTitleId(r.titleId), r.region) << r.titleId;
  EXPECT_EQ(InitialOf("astro"), 'A');
  EXPECT_EQ(InitialOf("7 Seas"), '7');
  EXPECT_EQ(InitialOf("\xC9lan"), 0);
  EXPECT_EQ(InitialOf("_x"), 0);
  EXPECT_EQ(InitialOf(""), 0);
}

TEST(Catalogue, XmlTextCannotOpenOrCloseElements) {
  EXPECT_EQ(XmlEscape("Tom & Jerry </name><save>\n"), "Tom &amp; Jerry &lt;/name&gt;&lt;save&gt; ");
  XmlReply reply;
  reply.Open("save").Element("name", "a</name><url>evil</url>").Key("RESULT", "x\ny").Close("save");
  EXPECT_EQ(reply.Finish(),
            "<result>\n<save>\n<name>a&lt;/name&gt;&lt;url&gt;evil&lt;/url&gt;</name>\nRESULT=x y\n"
            "</save>\n</result>\n");
}

TEST(Catalogue, ImportedSaveIsServedUnderItsGame) {
  test::TempDir dir;
  ServiceDatabase db(dir.File("service.db"));
  EXPECT_TRUE(db.IsEmpty());
  MakeSaveFolder(dir.File("ULUS10041DATA00"));
  ImportRequest request;
  request.folder = dir.File("ULUS10041DATA00") + "/";
  request.game = "Kingdom <Hearts> & Co";
  request.titleId = "ulus10041";
  request.author = "ann";
  request.description = "Tom & Jerry's \"best\" <save>";
  const int64_t id = ImportSaveFolder(db, request);
  EXPECT_FALSE(db.IsEmpty());

  RunningService service(db);
  const auto games = service.Get("/corvanes.asp?region_id=0&az=K&rnd=0");
  ClientReading gameList(games->body);
  ASSERT_EQ(gameList.Records(), 1);
  EXPECT_EQ(gameList.Field(0, "<name>"), "Kingdom &lt;Hearts&gt; &amp; Co");
  EXPECT_EQ(gameList.Field(0, "<game_title_id>"), "ULUS10041");
  EXPECT_EQ(service.Get("/png/ULUS10041_ULUS10041DATA00.png")->body, MakeIconPng("icon"));

  ClientReading saves(service.Get("/saves.asp?game_id=1")->body);
  ASSERT_EQ(saves.Records(), 1);
  EXPECT_EQ(saves.Field(0, "<save_id>"), std::to_string(id));
  EXPECT_EQ(saves.Field(0, "<name>"), "ULUS10041DATA00");
  EXPECT_EQ(saves.Field(0, "<author>"), "ann");
  EXPECT_EQ(saves.Field(0, "<description>"), "Tom &amp; Jerry's \"best\" &lt;save&gt;");
  const auto file = service.Get("/download.asp?save_id=" + std::to_string(id));
  EXPECT_EQ(std::to_string(file->body.size()), saves.Field(0, "<save_filesize>"));
  // The save file is a container of the folder, as an install reads it.
  std::vector<uint8_t> container(file->body.begin(), file->body.end());
  ContainerInfo info;
  ASSERT_EQ(ReadContainerInfo(container, info), 0);
  EXPECT_EQ(info.folderName, "ULUS10041DATA00");
  EXPECT_TRUE(info.iconFound);
  EXPECT_EQ(ContainerTitle(info.header), "ULUS10041DATA00");

  // A second save of the same game joins it; folders inside a save folder come along.
  std::filesystem::create_directories(dir.File("ULUS10041DATA01/EXTRA"));
  test::WriteFileBytes(dir.File("ULUS10041DATA01/EXTRA/MORE.BIN"), "more");
  request.folder = dir.File("ULUS10041DATA01");
  request.name = "second";
  ImportSaveFolder(db, request);
  EXPECT_EQ(ClientReading(service.Get("/saves.asp?game_id=1")->body).Records(), 2);
  EXPECT_EQ(ClientReading(service.Get("/corvanes.asp?region_id=3&az=k")->body).Records(), 1);
}

TEST(Catalogue, ImportRefusesWhatCannotBeASave) {
  test::TempDir dir;
  ServiceDatabase db(dir.File("service.db"));
  MakeSaveFolder(dir.File("GOOD"));
  std::filesystem::create_directories(dir.File("EMPTY"));
  std::filesystem::create_directories(dir.File("LINKED"));
  std::filesystem::create_symlink("/etc/passwd", dir.File("LINKED/DATA.BIN"));
  MakeSaveFolder(dir.File("DRIVE:SAVE"));

  const struct {
    const char* folder;
    const char* game;
    const char* titleId;
    const char* message;
  } cases[] = {
      {"GOOD", "Game", "UL", "title id"},
      {"GOOD", "Game", "ULUS 10041", "title id"},
      {"GOOD", "_Game", "ULUS10041", "letter or a digit"},
      {"MISSING", "Game", "ULUS10041", "not a folder"},
      {"LINKED", "Game", "ULUS10041", "DATA.BIN"},
      {"EMPTY", "Game", "ULUS10041", "no files"},
      {"DRIVE:SAVE", "Game", "ULUS10041", "does not name a save folder"},
      {"/", "Game", "ULUS10041", "does not name a save folder"},
  };
  for (const auto& c : cases) {
    ImportRequest request;
    request.folder = c.folder[0] == '/' ? std::string(c.folder) : dir.File(c.folder);
    request.game = c.game;
    request.titleId = c.titleId;
    try {
      ImportSaveFolder(db, request);
      ADD_FAILURE() << c.folder << " " << c.titleId << " was imported";
    } catch (const CatalogueError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(db.IsEmpty());
}

TEST(Catalogue, DemoDataFillsOnceAndSurvivesAReopen) {
  test::TempDir dir;
  {
    ServiceDatabase db(dir.File("service.db"));
    FillDemoData(db);
  }
  ServiceDatabase db(dir.File("service.db"));
  EXPECT_FALSE(db.IsEmpty());
  const auto release = db.LatestRelease();
  ASSERT_TRUE(release);
  EXPECT_EQ(release->version, ProgramVersion());
  EXPECT_EQ(release->fileName,
            ReleaseFileName(ProgramVersion(), static_cast<size_t>(release->size)));
  EXPECT_THROW(AddRelease(db, 1000, "x"), CatalogueError);
  const std::string newer = AddRelease(db, 116, std::string(4500, 'u'));
  EXPECT_EQ(db.LatestRelease()->fileName, newer);
  EXPECT_EQ(newer.substr(newer.size() - 8), "_116.bin");
}

TEST(ServiceCatalogue, ASignedReleaseServesItsSignatureBesideItAndAnUnsignedOneNone) {
  test::TempDir dir;
  ServiceDatabase db(dir.File("service.db"));
  const UpgradeKeyPair pair = *MakeUpgradeKeyPair();
  const std::string signedName = AddRelease(db, 116, "new program", &pair.secretKey);
  const std::string unsignedName = AddRelease(db, 117, "another program");
  RunningService service(db);

  const auto release = service.Get("/release/" + signedName);
  const auto signature = service.Get("/release/" + signedName + ".sig");
  ASSERT_TRUE(release && signature);
  ASSERT_EQ(signature->status, 200);
  const auto bytes = [](const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
  };
  EXPECT_EQ(CheckUpgradeSignature(bytes(release->body), bytes(signature->body), pair.publicKey),
            SignatureCheck::Valid);
  EXPECT_EQ(service.Get("/release/" + unsignedName + ".sig")->status, 404);
  EXPECT_EQ(service.Get("/release/nothing.bin.sig")->status, 404);
}

}  // namespace
}  // namespace pspkvx::service
