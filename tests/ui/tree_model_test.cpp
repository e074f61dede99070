#include "ui/TreeModel.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace pspkvx {
namespace {

// The visible rows as "text/depth" with a mark for expanded (-) or expandable (+) nodes and
// one for the selected node (*).
std::string Shown(const TreeModel& tree) {
  std::string text;
  for (const TreeRow& row : tree.VisibleRows()) {
    if (!text.empty()) text += " ";
    text += row.text + "/" + std::to_string(row.depth);
    if (row.hasChildren) text += row.expanded ? "-" : "+";
    if (row.selected) text += "*";
  }
  return text;
}

class TreeModelTest : public ::testing::Test {
 protected:
  // A (folder, filled later) with A1, A2 (folder with A2a); B (plain).
  void SetUp() override {
    a_ = *tree_.Add(kTreeRoot, {"A", "/az=A", true});
    b_ = *tree_.Add(kTreeRoot, {"B", "/save?b", false});
  }
  void FillA() {
    const std::vector<TreeNodeId> ids =
        tree_.SetChildren(a_, {{"A1", "", false}, {"A2", "/game?2", true}});
    ASSERT_EQ(ids.size(), 2u);
    a1_ = ids[0];
    a2_ = ids[1];
    a2a_ = *tree_.Add(a2_, {"A2a", "", false});
  }

  TreeModel tree_;
  TreeNodeId a_ = 0, b_ = 0, a1_ = 0, a2_ = 0, a2a_ = 0;
};

TEST_F(TreeModelTest, ChildrenFilledLaterShowOnceTheirParentIsExpanded) {
  EXPECT_EQ(Shown(tree_), "A/0+ B/0");
  EXPECT_TRUE(tree_.NeedsChildren(a_));
  EXPECT_FALSE(tree_.NeedsChildren(b_));
  EXPECT_TRUE(tree_.SetExpanded(a_, true));
  EXPECT_FALSE(tree_.SetExpanded(a_, true));  // no change
  EXPECT_EQ(Shown(tree_), "A/0- B/0");        // marked, nothing filled in yet

  const uint64_t revision = tree_.Revision();
  FillA();
  EXPECT_GT(tree_.Revision(), revision);
  EXPECT_FALSE(tree_.NeedsChildren(a_));
  EXPECT_EQ(Shown(tree_), "A/0- A1/1 A2/1+ B/0");
  tree_.ToggleExpanded(a2_);
  EXPECT_EQ(Shown(tree_), "A/0- A1/1 A2/1- A2a/2 B/0");
  EXPECT_EQ(tree_.Node(a2a_)->depth, 2);
  EXPECT_EQ(tree_.Node(a2_)->value, "/game?2");
  EXPECT_EQ(tree_.Parent(a2a_), a2_);
  EXPECT_EQ(tree_.Parent(a_), kTreeRoot);
  EXPECT_EQ(tree_.Children(a_), (std::vector<TreeNodeId>{a1_, a2_}));
  EXPECT_EQ(tree_.NodeCount(), 5u);

  // Collapsing hides the whole branch, its own expanded children included.
  tree_.ToggleExpanded(a_);
  EXPECT_EQ(Shown(tree_), "A/0+ B/0");
  tree_.ToggleExpanded(a_);
  EXPECT_EQ(Shown(tree_), "A/0- A1/1 A2/1- A2a/2 B/0");
}

TEST_F(TreeModelTest, TheSelectionFollowsCollapsingAndRemoval) {
  FillA();
  tree_.SetExpanded(a_, true);
  tree_.SetExpanded(a2_, true);
  EXPECT_TRUE(tree_.Select(a2a_));
  EXPECT_FALSE(tree_.Select(9999));
  EXPECT_EQ(tree_.Selected(), a2a_);

  // Collapsing an ancestor of the selected node selects the collapsed node.
  tree_.SetExpanded(a_, false);
  EXPECT_EQ(tree_.Selected(), a_);
  EXPECT_EQ(Shown(tree_), "A/0+* B/0");

  // Refilling a level drops its old nodes, the selection with them; their ids name nothing.
  tree_.SetExpanded(a_, true);
  tree_.Select(a2a_);
  const std::vector<TreeNodeId> fresh = tree_.SetChildren(a_, {{"C1", "", false}});
  EXPECT_FALSE(tree_.Selected());
  EXPECT_FALSE(tree_.Node(a2a_));
  EXPECT_FALSE(tree_.Add(a2_, {"orphan", "", false}));
  EXPECT_NE(fresh[0], a1_);
  EXPECT_EQ(Shown(tree_), "A/0- C1/1 B/0");
  EXPECT_EQ(tree_.NodeCount(), 3u);

  tree_.Select(b_);
  EXPECT_TRUE(tree_.Remove(b_));
  EXPECT_FALSE(tree_.Remove(b_));
  EXPECT_FALSE(tree_.Remove(kTreeRoot));
  EXPECT_FALSE(tree_.Selected());
  tree_.Clear();
  EXPECT_EQ(Shown(tree_), "");
  EXPECT_EQ(tree_.NodeCount(), 0u);
}

// A deep branch from outside is removed and listed without recursion.
TEST(TreeModel, DeepBranches) {
  TreeModel tree;
  TreeNodeId at = kTreeRoot;
  for (int i = 0; i < 100000; ++i) {
    at = *tree.Add(at, {"n", "", false});
    tree.SetExpanded(at, true);
  }
  EXPECT_EQ(tree.VisibleRows().size(), 100000u);
  tree.Clear();
  EXPECT_EQ(tree.NodeCount(), 0u);
}

// A painter copying the rows while a worker refills a level sees whole levels only.
TEST(TreeModel, LevelsAreFilledAndReadUnderTheTreeLock) {
  TreeModel tree;
  const TreeNodeId top = *tree.Add(kTreeRoot, {"top", "", true});
  tree.SetExpanded(top, true);
  std::thread worker([&] {
    for (int k = 0; k < 200; ++k)
      tree.SetChildren(top, {{"a", "", false}, {"b", "", false}, {"c", "", false}});
  });
  for (int k = 0; k < 200; ++k) {
    const size_t rows = tree.VisibleRows().size();
    EXPECT_TRUE(rows == 1 || rows == 4) << rows;
  }
  worker.join();
  EXPECT_EQ(tree.VisibleRows().size(), 4u);
}

}  // namespace
}  // namespace pspkvx
