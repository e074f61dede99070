// The saves page's tree: its documents read into items, and the tree filled from the real
// service level by level on its own worker.
#include <gtest/gtest.h>

#include "base/StringTable.h"
#include "online/SavesTreeReader.h"
#include "support/ScriptedHost.h"
#include "support/ServiceProcess.h"
#include "support/TempDir.h"
#include "ui/ControlIds.h"
#include "ui/SavesTree.h"

namespace pspkvx {
namespace {

TEST(SavesTreeReader, FoldersSavesAndTheirFiles) {
  const SavesTreeDocument document = ReadSavesTree(
      "<?xml version=\"1.0\"?>\r\n<result>\r\n<folder>\n<name>R&amp;C</name>\n"
      "<url>http://s/tree.asp?az=R</url>\n<png>p.png</png>\n</folder>\n"
      "<save>\n<name>Start</name>\n<released>2001</released>\n<posted>2002</posted>\n"
      "<game_title_id>A</game_title_id>\n<code_title_id>B</code_title_id>\n<empty/>\n"
      "<file>\n<name>f</name>\n<download_url>http://s/dl?1</download_url>\n"
      "<download_size>77</download_size>\n<url>ignored</url>\n</file>\n</save>\n"
      "<file>\n<name>loose</name>\n<download_url>http://s/dl?2</download_url>\n</file>\n"
      "</result>\n");
  ASSERT_TRUE(document.ok()) << document.error;
  ASSERT_EQ(document.items.size(), 3u);
  const SavesTreeItem& folder = document.items[0];
  EXPECT_EQ(folder.kind, TreeFolder);
  EXPECT_EQ(folder.name, "R&C");
  EXPECT_EQ(folder.address, "http://s/tree.asp?az=R");
  const SavesTreeItem& save = document.items[1];
  EXPECT_EQ(save.kind, TreeSave);
  EXPECT_EQ(save.date, "2002");  // the later element wins
  EXPECT_EQ(save.titleId, "B");
  ASSERT_EQ(save.files.size(), 1u);
  EXPECT_EQ(save.files[0].address, "http://s/dl?1");
  EXPECT_EQ(save.files[0].size, 77);
  EXPECT_EQ(document.items[2].kind, TreeFile);
}

TEST(SavesTreeReader, AnEmptyLevelAndUnreadableDocuments) {
  const SavesTreeDocument empty = ReadSavesTree("<result></result>");
  ASSERT_EQ(empty.items.size(), 1u);
  EXPECT_TRUE(empty.items[0].placeholder);
  EXPECT_EQ(empty.items[0].name, kEmptyTreeName);
  EXPECT_EQ(empty.items[0].description, kEmptyTreeName);
  EXPECT_EQ(empty.items[0].address, "");

  std::string deep;
  for (size_t i = 0; i <= kMaxTreeDepth; ++i)
    deep += "<folder>";
  const std::pair<std::string, const char*> bad[] = {
      {"<result><folder><name>x</name></result>", "closes nothing"},
      {"<result><folder><name>x</name>", "is not closed"},
      {"<result><name", "a tag is not closed"},
      {deep, "nested too deeply"},
  };
  for (const auto& [text, why] : bad) {
    const SavesTreeDocument document = ReadSavesTree(text);
    EXPECT_FALSE(document.ok()) << text;
    EXPECT_NE(document.error.find(why), std::string::npos) << document.error;
    EXPECT_TRUE(document.items.empty());
  }
}

TEST(SavesTree, FillsItsLevelsFromTheServiceAndFindsTheSavesDownload) {
  test::TempDir dir;
  test::ServiceProcess service(dir.File("service.db"));
  TreeModel model;
  test::ScriptedHost messages;
  const ServiceEndpoints endpoints = EndpointsFor(service.HostPort());
  SavesTree tree(model, endpoints, messages);
  tree.Show();
  tree.Show();
  ASSERT_EQ(model.Children(kTreeRoot).size(), 1u);
  const TreeNodeId root = model.Children(kTreeRoot)[0];
  EXPECT_EQ(model.Node(root)->text, kTreeRootName);
  EXPECT_FALSE(tree.Busy());  // nothing is fetched before a node is opened

  tree.NodeExpanded(root, true);
  tree.WaitUntilIdle();
  const std::vector<TreeNodeId> initials = model.Children(root);
  ASSERT_FALSE(initials.empty());
  EXPECT_EQ(model.Node(initials[0])->text, "A");
  EXPECT_FALSE(tree.Fetch(initials[0] + 100000));  // no such node

  tree.NodeExpanded(initials[0], true);
  tree.WaitUntilIdle();
  const std::vector<TreeNodeId> games = model.Children(initials[0]);
  ASSERT_FALSE(games.empty());
  tree.NodeExpanded(games[0], true);
  tree.WaitUntilIdle();
  const std::vector<TreeNodeId> saves = model.Children(games[0]);
  ASSERT_FALSE(saves.empty());
  ASSERT_EQ(tree.Item(saves[0])->kind, TreeSave);
  const std::vector<TreeNodeId> files = model.Children(saves[0]);
  ASSERT_EQ(files.size(), 1u);

  EXPECT_EQ(tree.SelectedDownloadAddress(), "");
  model.Select(saves[0]);
  const std::string address = tree.SelectedDownloadAddress();
  EXPECT_EQ(address.rfind(service.Base() + "/download.asp?save_id=", 0), 0u) << address;
  model.Select(files[0]);
  EXPECT_EQ(tree.SelectedDownloadAddress(), address);
  model.Select(games[0]);
  EXPECT_EQ(tree.SelectedDownloadAddress(), "");

  // Refresh replaces the level; an unknown command says so.
  tree.MenuCommand(MenuTreeRefresh, games[0]);
  tree.WaitUntilIdle();
  EXPECT_EQ(model.Children(games[0]).size(), saves.size());
  EXPECT_FALSE(model.Node(saves[0]));
  EXPECT_TRUE(messages.texts().empty());
  tree.MenuCommand(1, games[0]);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{StringOf(IDS_UNKNOWN_MENU_COMMAND)});
}

TEST(SavesTree, AServiceThatIsGoneIsSaidAndTheLevelStaysEmpty) {
  test::TempDir dir;
  auto service = std::make_unique<test::ServiceProcess>(dir.File("service.db"));
  const ServiceEndpoints endpoints = EndpointsFor(service->HostPort());
  service->Kill();
  service.reset();
  TreeModel model;
  test::ScriptedHost messages;
  SavesTree tree(model, endpoints, messages);
  tree.Show();
  const TreeNodeId root = model.Children(kTreeRoot)[0];
  tree.NodeExpanded(root, true);
  tree.WaitUntilIdle();
  EXPECT_TRUE(model.Children(root).empty());
  const std::vector<std::string> texts = messages.texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), StringOf(IDS_INTERNET_NOT_WORKING));
}

}  // namespace
}  // namespace pspkvx
