// The source folders are floors: a folder includes only folders below it (features may use
// each other, as long as no two depend on each other). This test reads every source file of
// the tree and fails on an include that goes up, sideways between programs, or round in a
// circle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Bottom up. A folder's floor is that of the longest folder below that names it.
const std::map<std::string, int> kFloors = {
    {"platform", 0}, {"base", 1},    {"app", 2},     {"psp", 3},
    {"saves", 3},    {"online", 3},  {"media", 3},   {"video", 3},
    {"update", 3},   {"ui", 4},      {"ui/skin", 4}, {"ui/qt", 5},
    {"cli", 5},      {"service", 5}, {"upgrade", 5}, {"video/encoder", 5},
};
constexpr int kProgramFloor = 5;  // each program stands on its own: no includes between them

// The folder of kFloors a path (relative to the source tree) lies in.
std::optional<std::string> FolderOf(const std::string& path) {
  std::optional<std::string> best;
  for (const auto& [folder, floor] : kFloors)
    if (path.rfind(folder + "/", 0) == 0 && (!best || folder.size() > best->size())) best = folder;
  return best;
}

struct Include {
  std::string file;
  int line;
  std::string target;
};

std::vector<Include> ProjectIncludes(const fs::path& root) {
  const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<Include> found;
  for (const auto& [folder, floor] : kFloors) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(root / folder, error), end; !error && it != end;
         it.increment(error)) {
      const std::string ext = it->path().extension().string();
      if (!it->is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      const std::string file = fs::relative(it->path(), root).generic_string();
      if (FolderOf(file) != folder) continue;  // a deeper folder's file is read with it
      std::ifstream in(it->path());
      std::string text;
      for (int line = 1; std::getline(in, text); ++line) {
        std::smatch match;
        if (std::regex_search(text, match, include)) found.push_back({file, line, match[1]});
      }
    }
  }
  return found;
}

TEST(IncludeFloors, EveryIncludeGoesDownOrStaysOnItsFloor) {
  const fs::path root = PSPKVX_SOURCE_DIR;
  const std::vector<Include> includes = ProjectIncludes(root);
  ASSERT_GT(includes.size(), 100u) << "the source tree was not found at " << root;

  std::map<std::string, std::set<std::string>> uses;  // folder -> folders it includes
  for (const Include& include : includes) {
    const auto from = FolderOf(include.file);
    const auto to = FolderOf(include.target);
    if (!from || !to || *from == *to) continue;  // system headers, own folder
    const int fromFloor = kFloors.at(*from);
    const int toFloor = kFloors.at(*to);
    const bool allowed =
        toFloor < fromFloor || (toFloor == fromFloor && fromFloor != kProgramFloor);
    EXPECT_TRUE(allowed) << include.file << ":" << include.line << " includes " << include.target
                         << " (" << *from << " is on floor " << fromFloor << ", " << *to
                         << " on floor " << toFloor << ")";
    uses[*from].insert(*to);
  }
  // Folders of one floor that use each other, directly or through others, are one tangle.
  for (const auto& [start, direct] : uses) {
    std::set<std::string> reached;
    std::vector<std::string> pending(direct.begin(), direct.end());
    while (!pending.empty()) {
      const std::string next = pending.back();
      pending.pop_back();
      if (!reached.insert(next).second) continue;
      for (const std::string& further : uses[next])
        pending.push_back(further);
    }
    EXPECT_FALSE(reached.count(start)) << start << " includes itself through other folders";
  }
}

}  // namespace
