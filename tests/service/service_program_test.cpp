// The real pspkvx-service program: how it takes its port.
#include <gtest/gtest.h>
#include <httplib.h>

#include "online/ServiceSettings.h"
#include "support/Process.h"
#include "support/ServiceProcess.h"
#include "support/TempDir.h"

namespace pspkvx::service {
namespace {

int PortOf(const test::ServiceProcess& service) {
  const std::string hostPort = service.HostPort();
  return std::stoi(hostPort.substr(hostPort.rfind(':') + 1));
}

// The settings page's status, asked on a connection of its own that the server closes.
int SettingsStatus(int port) {
  httplib::Client client("127.0.0.1", port);
  client.set_keep_alive(false);
  const auto result = client.Get(kSettingsPagePath);
  return result ? result->status : -1;
}

TEST(ServiceProgram, ASecondServiceOnAPortInUseFailsAndTheFirstKeepsServing) {
  test::TempDir dir;
  test::ServiceProcess first(dir.File("first.db"), false);
  const int port = PortOf(first);
  const auto second = test::RunProcess({test::ProgramFolderFile("pspkvx-service"), "--db",
                                        dir.File("second.db"), "--port", std::to_string(port)},
                                       {}, std::chrono::seconds(30));
  EXPECT_FALSE(second.timedOut) << "the second service took the port too";
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_NE(second.err.find("cannot listen on 127.0.0.1:" + std::to_string(port)),
            std::string::npos)
      << second.err;
  EXPECT_NE(second.err.find("in use"), std::string::npos) << second.err;
  EXPECT_EQ(second.out.find("listening"), std::string::npos) << second.out;
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(SettingsStatus(port), 200);
}

TEST(ServiceProgram, TakesItsPortAgainRightAfterItStopped) {
  test::TempDir dir;
  auto first = std::make_unique<test::ServiceProcess>(dir.File("service.db"), false);
  const int port = PortOf(*first);
  // Connections the server closed stay in TIME_WAIT on its port for a while.
  ASSERT_EQ(SettingsStatus(port), 200);
  first->Kill();
  first.reset();
  test::ServiceProcess again(dir.File("service.db"), false, port);
  EXPECT_EQ(PortOf(again), port);
  EXPECT_EQ(SettingsStatus(port), 200);
}

TEST(ServiceProgram, AddReleaseKeepsItsOwnVersionOption) {
  // The program's --version flag does not take the place of add-release's --version N.
  test::TempDir dir;
  test::WriteFileBytes(dir.File("upgrade"), "program");
  const auto run =
      test::RunProcess({test::ProgramFolderFile("pspkvx-service"), "--db", dir.File("service.db"),
                        "add-release", dir.File("upgrade"), "--version", "116"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("added release pspkvx_upgrade_"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("_116.bin"), std::string::npos) << run.out;
}

TEST(ServiceProgram, BadUsageIsExitCodeTwo) {
  test::TempDir dir;
  for (std::vector<std::string> args : {std::vector<std::string>{"--port", "99999"},
                                        {"--port", "x"},
                                        {"--no-such-option"},
                                        {"add-release", dir.File("x")}}) {
    SCOPED_TRACE(args[0]);
    args.insert(args.begin(), test::ProgramFolderFile("pspkvx-service"));
    args.insert(args.end(), {"--db", dir.File("service.db")});
    const auto run = test::RunProcess(args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err, "");
  }
}

}  // namespace
}  // namespace pspkvx::service
