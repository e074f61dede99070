// package keygen / sign / verify as a release script uses them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using nlohmann::json;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args), {}, std::chrono::seconds(60));
}

TEST(CliPackageSigning, AKeyPairSignsAReleaseAndOnlyThatReleaseWithThatKeyChecks) {
  test::TempDir dir;
  const std::string base = dir.File("release");
  const auto made = Cli({"package", "keygen", "-o", base, "--json"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(json::parse(made.out)["publicKey"].get<std::string>().size(), 64u);
  struct stat secret {};
  ASSERT_EQ(stat((base + ".key").c_str(), &secret), 0);
  EXPECT_EQ(secret.st_mode & 0777, 0600u);  // the secret half is the owner's alone
  // A second keygen would lose the key that signed earlier releases: refused.
  const auto again = Cli({"package", "keygen", "-o", base});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("already exists"), std::string::npos) << again.err;

  test::WriteFileBytes(dir.File("release.bin"), "the release's bytes");
  ASSERT_EQ(Cli({"package", "sign", dir.File("release.bin"), "--key", base + ".key", "-o",
                 dir.File("release.bin.sig")})
                .exitCode,
            0);
  EXPECT_EQ(test::ReadFileBytes(dir.File("release.bin.sig")).size(), 64u);

  test::WriteFileBytes(dir.File("altered.bin"), "the release's bytes!");
  test::WriteFileBytes(dir.File("empty.sig"), "");
  const auto otherKey = Cli({"package", "keygen", "-o", dir.File("other")});
  ASSERT_EQ(otherKey.exitCode, 0);
  struct Case {
    std::string file, signature, key;
    bool valid;
  };
  for (const Case& c : {Case{"release.bin", "release.bin.sig", "release.pub", true},
                        Case{"altered.bin", "release.bin.sig", "release.pub", false},
                        Case{"release.bin", "release.bin.sig", "other.pub", false},
                        Case{"release.bin", "empty.sig", "release.pub", false}}) {
    SCOPED_TRACE(c.file + " " + c.signature + " " + c.key);
    const auto checked = Cli({"package", "verify", dir.File(c.file), "--signature",
                              dir.File(c.signature), "--key", dir.File(c.key), "--json"});
    EXPECT_EQ(checked.exitCode, c.valid ? 0 : 1) << checked.err;
    EXPECT_EQ(json::parse(checked.out)["valid"], c.valid);
  }
}

TEST(CliPackageSigning, WithoutAKeyVerifyChecksAgainstTheKeyBuiltIntoPspkvx) {
  // The build's development key is the one compiled in, unless the build names a release key.
  if (std::string(PSPKVX_DEV_SECRET_KEY).empty()) GTEST_SKIP() << "this build has a release key";
  test::TempDir dir;
  test::WriteFileBytes(dir.File("release.bin"), "bytes");
  ASSERT_EQ(Cli({"package", "sign", dir.File("release.bin"), "--key", PSPKVX_DEV_SECRET_KEY, "-o",
                 dir.File("release.sig")})
                .exitCode,
            0);
  EXPECT_EQ(
      Cli({"package", "verify", dir.File("release.bin"), "--signature", dir.File("release.sig")})
          .exitCode,
      0);
  const auto badKey = Cli({"package", "sign", dir.File("release.bin"), "--key",
                           dir.File("release.bin"), "-o", dir.File("x.sig")});
  EXPECT_EQ(badKey.exitCode, 1);
  EXPECT_NE(badKey.err.find("holds no secret key"), std::string::npos) << badKey.err;
}

}  // namespace
}  // namespace pspkvx
