#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "base/LittleEndian.h"
#include "online/DownloadEngine.h"
#include "online/LoopbackServer.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;
using test::ScriptedAnswer;

// Keeps what each WM_TRANSFER_DONE carried.
class RecordingWindow : public IWindowMessages {
 public:
  intptr_t SendWindowMessage(uint32_t message, uintptr_t, intptr_t lParam) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (message != WM_TRANSFER_DONE) return 0;
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

  ASSERT_TRUE(engine.Start(server.Url("/save.bin")));
  ASSERT_TRUE(WaitFor([&] { return engine.State() == DownloadComplete; }));
  EXPECT_EQ(window.Bodies(), std::vector<std::string>{"container"});

  ASSERT_TRUE(engine.Start(server.Url("/slow.bin")));
  EXPECT_FALSE(engine.Start(server.Url("/save.bin")));  // the running one keeps the engine
  EXPECT_EQ(engine.Address(), server.Url("/slow.bin"));
  engine.Stop();
  ASSERT_TRUE(WaitFor([&] { return engine.State() == DownloadStopped; }));
  // A stopped or failed download reports no buffer.
  EXPECT_EQ(window.Bodies(), (std::vector<std::string>{"container", "<none>"}));

  ASSERT_TRUE(engine.Start(server.Url("/missing.bin")));
  ASSERT_TRUE(WaitFor([&] { return engine.State() == DownloadFailed; }));
  EXPECT_EQ(window.Bodies().back(), "<none>");
}

}  // namespace
}  // namespace pspkvx
