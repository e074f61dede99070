#include "saves/SaveRemoval.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/StringTable.h"
#include "support/SaveStickFixture.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::TreeOf;

class SaveRemovalTest : public test::SaveStickTest {};

TEST_F(SaveRemovalTest, DeleteTreeRemovesEverythingButNeverFollowsALink) {
  test::MakeFiles(dir_.File("outside"), {{"KEEP.BIN", "not on the stick"}});
  MakeSave("SAVE", {{"A", "a"}, {"SUB/B", "b"}, {"SUB/DEEP/C", "c"}, {"EMPTY", "<folder>"}});
  fs::create_directory_symlink(dir_.File("outside"), SavePath("SAVE") + "/SUB/LINK");
  EXPECT_EQ(DeleteTree(Stick(), SavePath("SAVE") + "/"), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(SavePath("SAVE"))));
  EXPECT_EQ(test::ReadFileBytes(dir_.File("outside/KEEP.BIN")), "not on the stick");
  EXPECT_TRUE(host_.texts().empty());
}

TEST_F(SaveRemovalTest, WhatCannotBeDeletedEndsTheRemovalWithItsPath) {
  const struct {
    const char* what;
    std::string undeletable;
    std::string message;
  } kCases[] = {
      {"a file", "SAVE/SUB/B", "Couldn't delete the file:\n\n"},
      {"a folder", "SAVE/SUB", "Couldn't delete the folder:\n\n"},
  };
  for (const auto& c : kCases) {
    MakeSave("SAVE", {{"SUB/B", "b"}});
    const std::string path = SaveData() + "/" + c.undeletable;
    platform_.Change([&](test::FakePlatform& f) { f.undeletable = {path}; });
    test::ScriptedHost host;
    EXPECT_EQ(DeleteTree(Stick(host), SavePath("SAVE")), -1) << c.what;
    EXPECT_EQ(host.texts(), std::vector<std::string>{c.message + path}) << c.what;
    EXPECT_TRUE(fs::exists(path)) << c.what;
    EXPECT_TRUE(fs::exists(SavePath("SAVE"))) << c.what;  // the removal ended there
  }
}

}  // namespace
}  // namespace pspkvx
