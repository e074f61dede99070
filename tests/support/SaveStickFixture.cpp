#include "support/SaveStickFixture.h"

#include <utime.h>

#include <filesystem>

#include "saves/SaveDiscovery.h"

namespace pspkvx::test {
namespace fs = std::filesystem;

std::string Digest(const std::string& bytes) {
  if (bytes.size() <= 64) return bytes;
  return "<" + std::to_string(bytes.size()) + " bytes, hash " +
         std::to_string(std::hash<std::string>{}(bytes)) + ">";
}

Tree TreeOf(const std::string& folder) {
  Tree tree;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string relative = fs::relative(it->path(), folder).generic_string();
    tree[relative] = it->is_directory() ? "<folder>" : Digest(ReadFileBytes(it->path().string()));
  }
  return tree;
}

void SetModifiedTime(const std::string& path, int64_t time) {
  utimbuf times{static_cast<time_t>(time), static_cast<time_t>(time)};
  ASSERT_EQ(utime(path.c_str(), &times), 0);
}

std::string ParamSfo(const std::string& title) {
  return std::string(kSaveTitleOffset, 'x') + title;
}

void MakeFiles(const std::string& folder, const Tree& files) {
  fs::create_directories(folder);
  for (const auto& [relative, bytes] : files) {
    const fs::path path = fs::path(folder) / relative;
    fs::create_directories(path.parent_path());
    if (bytes == "<folder>")
      fs::create_directories(path);
    else
      WriteFileBytes(path.string(), bytes);
  }
}

std::vector<uint8_t> InBuffer(const std::vector<uint8_t>& container) {
  const auto n = static_cast<uint32_t>(container.size());
  std::vector<uint8_t> buffer = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
  buffer.insert(buffer.end(), container.begin(), container.end());
  return buffer;
}

SaveStickTest::SaveStickTest() {
  SetConfigDefaults(config_, "/docs");
  config_.SearchForPsp = 0;
  config_.PspDriveLetter = 'P';
  root_ = dir_.File("stick") + "/";
  fs::create_directories(root_);
  platform_.PlugInPsp('P', root_, kTotalBytes, kFreeBytes);
  drive_.Poll();
  EXPECT_TRUE(drive_.IsReady());
}

void SaveStickTest::SetFreeBytes(uint64_t free) {
  platform_.Change([&](FakePlatform& f) { f.volumes['P'].space = {free, kTotalBytes}; });
}

std::string SaveStickTest::SaveData() const {
  return root_ + "PSP/SAVEDATA";
}

std::string SaveStickTest::SavePath(const std::string& folder) const {
  return SaveData() + "/" + folder;
}

}  // namespace pspkvx::test
