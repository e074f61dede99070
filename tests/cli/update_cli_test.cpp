// update parse-version / check / write as scripts see them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/Process.h"
#include "support/ServiceProcess.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using nlohmann::json;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args), {}, std::chrono::seconds(60));
}

TEST(CliUpdate, ParseVersionReadsAValueAndAnUnusableOneIsAReadingOfZero) {
  const auto release = Cli({"update", "parse-version", "http://h/f/pspkvx_4500_116.dat", "--json"});
  ASSERT_EQ(release.exitCode, 0) << release.err;
  EXPECT_EQ(json::parse(release.out), json::parse(R"({"version":116,"size":4500000})"));
  const auto unusable = Cli({"update", "parse-version", "ab.cdef", "--json"});
  EXPECT_EQ(unusable.exitCode, 0);
  EXPECT_EQ(json::parse(unusable.out), json::parse(R"({"version":0,"size":0})"));
}

TEST(CliUpdate, CheckAsksTheServiceAndWriteTakesTheProgramOutOfARelease) {
  test::TempDir dir;
  test::ServiceProcess service(dir.File("service.db"));
  const auto check = Cli({"--service", service.HostPort(), "update", "check", "--json"});
  ASSERT_EQ(check.exitCode, 0) << check.err;
  EXPECT_EQ(json::parse(check.out)["newer"], false);  // the demo's release is this version

  // A release: a container whose file records hold the program.
  std::filesystem::create_directories(dir.File("release/UPGRADE"));
  test::WriteFileBytes(dir.File("release/UPGRADE/A"), "#!/bin/sh\n");
  test::WriteFileBytes(dir.File("release/UPGRADE/B"), "exit 0\n");
  ASSERT_EQ(Cli({"save", "pack", dir.File("release/UPGRADE"), "--title", "upgrade", "-o",
                 dir.File("release.bin")})
                .exitCode,
            0);
  const auto written =
      Cli({"update", "write", dir.File("release.bin"), "-o", dir.File("upgrade"), "--json"});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_EQ(json::parse(written.out)["code"], 0);
  EXPECT_EQ(test::ReadFileBytes(dir.File("upgrade")), "#!/bin/sh\nexit 0\n");
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("upgrade").c_str(), &info), 0);
  EXPECT_NE(info.st_mode & 0100, 0u);

  test::WriteFileBytes(dir.File("junk.bin"), "not a release");
  const auto junk =
      Cli({"update", "write", dir.File("junk.bin"), "-o", dir.File("upgrade"), "--json"});
  EXPECT_EQ(junk.exitCode, 1);
  EXPECT_EQ(json::parse(junk.out)["code"], -2);
  EXPECT_EQ(test::ReadFileBytes(dir.File("upgrade")), "#!/bin/sh\nexit 0\n");  // untouched
}

}  // namespace
}  // namespace pspkvx
