#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "base/LittleEndian.h"
#include "base/StringTable.h"
#include "online/DownloadEngine.h"
#include "online/LoopbackServer.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;
using test::ScriptedAnswer;

// Keeps what each WM_TRANSFER_DONE carried.
class RecordingWindow : public IWindowMessages {
 public:
  intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (message != WM_TRANSFER_DONE) return 0;
    kinds.push_back(static_cast<int>(wParam));
    const auto* buffer = reinterpret_cast<const std::vector<uint8_t>*>(lParam);
    bodies.push_back(buffer ? std::string(buffer->begin() + 4, buffer->end()) : "<none>");
    return 1;
  }
  std::vector<std::string> Bodies() {
    std::lock_guard<std::mutex> lock(mutex_);
    return bodies;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> bodies;

 public:
  std::vector<int> kinds;  // read once the engine has ended
};

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i)
    std::this_thread::sleep_for(10ms);
  return done();
}

TEST(DownloadEngine, ADownloadEndsWithItsBufferAndAStartWhileOneRunsIsRefused) {
  test::LoopbackServer server;
  server.On("/save.bin", {ScriptedAnswer::Reply, "container"});
  server.On("/slow.bin", {ScriptedAnswer::Trickle, "x", 200, 20ms});
  RecordingWindow window;
  DownloadEngine engine(window);

  ASSERT_TRUE(engine.Start(server.Url("/save.bin"), 2));
  ASSERT_TRUE(WaitFor([&] { return engine.State() == DownloadComplete; }));
  EXPECT_EQ(window.Bodies(), std::vector<std::string>{"container"});
  EXPECT_EQ(window.kinds, std::vector<int>{2});  // the pending kind comes back with the end

  ASSERT_TRUE(engine.Start(server.Url("/slow.bin"), 2));
  EXPECT_FALSE(engine.Start(server.Url("/save.bin"), 2));  // the running one keeps the engine
  EXPECT_EQ(engine.Address(), server.Url("/slow.bin"));
  engine.Stop();
  ASSERT_TRUE(WaitFor([&] { return engine.State() == DownloadCancelled; }));
  // A stopped or failed download reports no buffer.
  EXPECT_EQ(window.Bodies(), (std::vector<std::string>{"container", "<none>"}));

  ASSERT_TRUE(engine.Start(server.Url("/missing.bin"), 2));
  ASSERT_TRUE(WaitFor([&] { return engine.State() == DownloadFailed; }));
  EXPECT_EQ(window.Bodies().back(), "<none>");
}

// A window that refuses what came (the update check's signature or container check failed).
class RefusingWindow : public IWindowMessages {
 public:
  intptr_t SendWindowMessage(uint32_t, uintptr_t, intptr_t) override { return 0; }
};

TEST(DownloadEngine, AWindowThatRefusesTheBufferEndsTheDownloadAsRefusedAndResetMakesItIdle) {
  test::LoopbackServer server;
  server.On("/release.bin", {ScriptedAnswer::Reply, "container"});
  RefusingWindow window;
  DownloadEngine engine(window);
  ASSERT_TRUE(engine.Start(server.Url("/release.bin"), 2));
  ASSERT_TRUE(WaitFor([&] { return engine.State() != DownloadRunning; }));
  EXPECT_EQ(engine.State(), DownloadRefused);
  EXPECT_EQ(engine.Received(), 9u);
  engine.Reset();
  EXPECT_EQ(engine.State(), DownloadIdle);
}

TEST(DownloadEngine, FileModeWritesTheWholeBodyAndAsksBeforeReplacing) {
  test::LoopbackServer server;
  server.On("/file.bin", {ScriptedAnswer::Reply, "new bytes"});
  test::TempDir dir;
  const std::string destination = dir.File("copy.bin");
  RecordingWindow window;
  test::ScriptedHost boxes;
  DownloadEngine engine(window, &boxes);

  ASSERT_TRUE(engine.Start(server.Url("/file.bin"), 0, destination));
  ASSERT_TRUE(WaitFor([&] { return !engine.Running(); }));
  EXPECT_EQ(engine.State(), DownloadComplete);
  EXPECT_EQ(test::ReadFileBytes(destination), "new bytes");
  EXPECT_EQ(window.Bodies().back(), "<none>");  // file mode hands over no buffer

  // The file is there now: No keeps it and is a cancellation, not a completed copy.
  test::WriteFileBytes(destination, "kept");
  boxes.Answer({ResultNo});
  ASSERT_TRUE(engine.Start(server.Url("/file.bin"), 0, destination));
  ASSERT_TRUE(WaitFor([&] { return !engine.Running(); }));
  EXPECT_EQ(engine.State(), DownloadCancelled);
  EXPECT_EQ(test::ReadFileBytes(destination), "kept");
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_EQ(boxes.texts()[0], StringOf(IDS_DOWNLOAD_DESTINATION_EXISTS));

  // Yes replaces it.
  boxes.Answer({ResultYes});
  ASSERT_TRUE(engine.Start(server.Url("/file.bin"), 0, destination));
  ASSERT_TRUE(WaitFor([&] { return !engine.Running(); }));
  EXPECT_EQ(engine.State(), DownloadComplete);
  EXPECT_EQ(test::ReadFileBytes(destination), "new bytes");
}

TEST(DownloadEngine, AnAddressThatIsNotHttpOrADestinationThatCannotBeWrittenSaysSo) {
  test::LoopbackServer server;
  server.On("/file.bin", {ScriptedAnswer::Reply, "bytes"});
  test::TempDir dir;
  RecordingWindow window;
  test::ScriptedHost boxes;
  DownloadEngine engine(window, &boxes);

  struct Case {
    std::string address, destination;
    int state;
  };
  for (const Case& c :
       {Case{"ftp://host/file.bin", "", DownloadNotHttp},
        Case{server.Url("/file.bin"), dir.File("no/such/folder/file.bin"), DownloadCannotCreate},
        Case{server.Url("/file.bin"), dir.path(), DownloadCannotCreate}}) {
    if (c.destination == dir.path()) boxes.Answer({ResultYes});  // it exists: the question comes
    ASSERT_TRUE(engine.Start(c.address, 0, c.destination));
    ASSERT_TRUE(WaitFor([&] { return !engine.Running(); }));
    EXPECT_EQ(engine.State(), c.state) << c.address << " " << c.destination;
    ASSERT_FALSE(boxes.texts().empty());
    EXPECT_EQ(boxes.texts().back(), StringOf(IDS_COPY_FAILED));
    EXPECT_EQ(window.Bodies().back(), "<none>");
  }
}

}  // namespace
}  // namespace pspkvx
