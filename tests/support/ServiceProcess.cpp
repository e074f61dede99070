#include "support/ServiceProcess.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace pspkvx::test {

ServiceProcess::ServiceProcess(const std::string& databasePath, bool demo, int port) {
  std::vector<std::string> argv = {ProgramFolderFile("pspkvx-service"), "--db", databasePath,
                                   "--port", std::to_string(port)};
  if (demo) argv.push_back("--demo");
  child_ = std::make_unique<Child>(argv);
  static const std::string kReady = "listening on http://";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string out = child_->Output();
    const size_t at = out.find(kReady);
    const size_t end = at == std::string::npos ? at : out.find('\n', at);
    if (end != std::string::npos) {
      hostPort_ = out.substr(at + kReady.size(), end - at - kReady.size());
      return;
    }
    if (!child_->Running()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  throw std::runtime_error("pspkvx-service did not start: " + child_->Output());
}

}  // namespace pspkvx::test
