#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "online/LoopbackServer.h"
#include "online/ThumbnailCache.h"
#include "support/TempDir.h"
#include "support/TestPictures.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;
using test::ScriptedAnswer;

struct Finished {
  std::string key;
  bool picture = false;
};

// Applies until one entry has finished (at most five seconds).
std::vector<Finished> ApplyUntilFinished(ThumbnailCache& cache) {
  std::vector<Finished> finished;
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (finished.empty() && std::chrono::steady_clock::now() < end) {
    cache.ApplyThumbnails([&](const std::string& key, const ThumbnailCache::Picture& picture) {
      finished.push_back({key, picture != nullptr});
    });
    std::this_thread::sleep_for(5ms);
  }
  return finished;
}

TEST(ThumbnailCache, KeysAreTheAddressesFileNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://s/png/a/x.png", "x.png"},
      {"http://s/png\\b\\y.png", "y.png"},
      {"z.png", "z.png"},
      {"http://s/png/", ""},
      {"", ""},
  };
  for (const auto& [address, key] : cases)
    EXPECT_EQ(ThumbnailCache::KeyOf(address), key);
  ThumbnailCache cache;
  EXPECT_EQ(cache.GetThumbnail("http://s/png/").key, "");
  EXPECT_EQ(cache.GetThumbnail("").key, "");
  EXPECT_EQ(cache.EntryCount(), 0u);  // nothing without a key, and nothing that matches it
  cache.GetThumbnail("http://s/a/Same.png");
  cache.GetThumbnail("http://s/b/same.PNG");
  EXPECT_EQ(cache.EntryCount(), 1u);
}

TEST(ThumbnailCache, APictureArrivesAndIsKeptABodyThatIsNoImageIsGivenUp) {
  test::LoopbackServer server;
  test::TempDir dir;
  test::WritePicture(dir.File("p.png"), FIF_PNG, 4, 4);
  test::WritePicture(dir.File("p.tga"), FIF_TARGA, 4, 4);
  server.On("/good.png", {ScriptedAnswer::Reply, test::ReadFileBytes(dir.File("p.png"))});
  server.On("/other.tga", {ScriptedAnswer::Reply, test::ReadFileBytes(dir.File("p.tga"))});
  server.On("/bad.png", {ScriptedAnswer::Reply, "<html>not a picture</html>"});
  ThumbnailCache cache;

  EXPECT_FALSE(cache.GetThumbnail(server.Url("/good.png")).picture);
  std::vector<Finished> done = ApplyUntilFinished(cache);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].key, "good.png");
  EXPECT_TRUE(done[0].picture);
  const ThumbnailCache::Picture kept = cache.GetThumbnail(server.Url("/good.png")).picture;
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, test::ReadFileBytes(dir.File("p.png")));  // the bytes themselves

  // A format a painter may not read comes as PNG.
  cache.GetThumbnail(server.Url("/other.tga"));
  done = ApplyUntilFinished(cache);
  ASSERT_EQ(done.size(), 1u);
  const ThumbnailCache::Picture converted = cache.GetThumbnail(server.Url("/other.tga")).picture;
  ASSERT_TRUE(converted);
  EXPECT_EQ(converted->substr(1, 3), "PNG");

  cache.GetThumbnail(server.Url("/bad.png"));
  done = ApplyUntilFinished(cache);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_FALSE(done[0].picture);
  EXPECT_EQ(cache.WaitingCount(), 0u);
  // Given up: never asked for again.
  for (int i = 0; i < 5; ++i)
    cache.ApplyThumbnails([](const auto&, const auto&) {});
  EXPECT_EQ(cache.EntryCount(), 3u);
  size_t badRequests = 0;
  for (const std::string& target : server.Requests())
    badRequests += target == "/bad.png";
  EXPECT_EQ(badRequests, 1u);
}

TEST(ThumbnailCache, ADownloadThatFailsLeavesTheEntryWaitingAndIsTriedAgain) {
  test::TempDir dir;
  test::WritePicture(dir.File("p.png"), FIF_PNG, 4, 4);
  auto server = std::make_unique<test::LoopbackServer>();
  const std::string address = "http://" + server->HostPort() + "/late.png";
  server.reset();  // nothing answers at that port now
  ThumbnailCache cache;
  cache.SetRetryDelay(0ms);
  TransferLimits limits;
  limits.connectTimeout = 500ms;
  cache.SetTransferLimits(limits);
  cache.GetThumbnail(address);
  for (int i = 0; i < 20 && cache.WaitingCount() == 1; ++i) {
    cache.ApplyThumbnails([](const auto&, const auto&) { FAIL() << "nothing finished"; });
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(cache.WaitingCount(), 1u);
  EXPECT_EQ(cache.EntryCount(), 1u);
}

// A download that never ends is stopped when the cache goes (else this test would not end).
TEST(ThumbnailCache, EndingTheCacheStopsARunningDownload) {
  test::LoopbackServer server;
  server.On("/slow.png", {ScriptedAnswer::Trickle, "x", 200, 20ms});
  {
    ThumbnailCache cache;
    cache.GetThumbnail(server.Url("/slow.png"));
    cache.ApplyThumbnails([](const auto&, const auto&) {});
    for (int i = 0; i < 100 && !cache.WorkerRunning(); ++i)
      std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(cache.WorkerRunning());
    std::this_thread::sleep_for(50ms);
  }
}

}  // namespace
}  // namespace pspkvx
