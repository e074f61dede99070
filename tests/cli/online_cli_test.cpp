#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

#include "online/LoopbackServer.h"
#include "online/ServiceTags.h"
#include "support/Process.h"
#include "support/ServiceProcess.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using nlohmann::json;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args), {}, std::chrono::seconds(60));
}

TEST(CliReply, ParsePrintsResultRecordsAndValuesWithoutLosingBytes) {
  test::TempDir dir;
  test::WriteFileBytes(
      dir.File("reply.xml"),
      "<?xml version=\"1.0\"?>\r\n<result>\r\n<save><name>Caf\xE9</name><url>u</url>"
      "</save>\r\n<folder>\n</folder>\nCORVANES_URL = http://s/c?\n"
      "<CHAR_B>12</CHAR_B>\n</result>\n");
  const auto run = Cli({"reply", "parse", dir.File("reply.xml"), "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json out = json::parse(run.out);
  EXPECT_EQ(out["result"], 0);
  EXPECT_EQ(out["records"], json::parse(R"([[["<name>","Caf\u00e9"],["<url>","u"]],[]])"));
  ASSERT_EQ(out["values"].size(), 1u + 17u + 36u);
  EXPECT_EQ(out["values"][0], json::parse(R"(["//",""])"));
  EXPECT_EQ(out["values"][5], json::parse(R"(["CORVANES_URL","http://s/c?"])"));
  EXPECT_EQ(out["values"][19], json::parse(R"(["<CHAR_B>","12"])"));

  test::WriteFileBytes(dir.File("page.html"), "<html><body>error</body></html>\n");
  const auto html = Cli({"reply", "parse", dir.File("page.html")});
  EXPECT_EQ(html.exitCode, 0);
  EXPECT_EQ(html.out.substr(0, 11), "result: -1\n");
  EXPECT_EQ(Cli({"reply", "parse", dir.File("missing")}).exitCode, 1);
}

TEST(CliOnline, SettingsAndRequestsAgainstTheService) {
  test::TempDir dir;
  test::ServiceProcess service(dir.File("service.db"));
  const auto settings = Cli({"online", "settings", "--service", service.HostPort(), "--json"});
  ASSERT_EQ(settings.exitCode, 0) << settings.err;
  const json keys = json::parse(settings.out);
  EXPECT_EQ(keys["status"], "FetchOk");
  ASSERT_EQ(keys["keys"].size(), kSettingsKeys.size());
  for (size_t i = 0; i < kSettingsKeys.size(); ++i) {
    EXPECT_EQ(keys["keys"][i][0], kSettingsKeys[i]);
    EXPECT_NE(keys["keys"][i][1], "");
  }
  EXPECT_EQ(keys["keys"][4][1], service.Base() + "/corvanes.asp?");

  const auto index = Cli({"--service", service.HostPort(), "online", "get",
                          "/alphakavex.asp?corvane=1&region_id=3", "--json"});
  ASSERT_EQ(index.exitCode, 0) << index.err;
  const json letters = json::parse(index.out);
  EXPECT_EQ(letters["status"], "FetchOk");
  EXPECT_EQ(letters["records"], json::array());
  EXPECT_NE(letters["values"][18][1], "");  // <CHAR_A>

  const auto games =
      Cli({"online", "get", service.Base() + "/corvanes.asp?region_id=3&az=M&rnd=0", "--json"});
  ASSERT_EQ(games.exitCode, 0) << games.err;
  const json list = json::parse(games.out);
  ASSERT_FALSE(list["records"].empty());
  EXPECT_EQ(list["records"][0][0][0], "<name>");

  const auto missing = Cli({"online", "get", "--service", service.HostPort(), "/nothing.asp"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out.substr(0, 25), "status: FetchParseFailed\n");
}

TEST(CliOnline, ReadsTheServiceHostLikeTheProgram) {
  // No service.host beside the test build's pspkvx-cli: the default loopback address.
  const auto run = Cli({"online", "get", "/x", "--service", "127.0.0.1:1", "--json"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(json::parse(run.out)["status"], "FetchException");
  EXPECT_EQ(Cli({"online", "settings", "--service", "127.0.0.1:1", "--probe", "http://127.0.0.1:1/",
                 "--json"})
                .exitCode,
            1);
}

// The one line a failure leaves on stderr.
void ExpectOneLine(const test::ProcessResult& run) {
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.err.rfind("pspkvx-cli: ", 0), 0u) << run.err;
}

TEST(CliOnline, SettingsWithoutAServiceNameTheAddressTriedAndListNoEmptyKeys) {
  // Nothing listens on port 1 of the loopback, neither as the service nor as the probe's site.
  const std::string page = "http://127.0.0.1:1/tolvexPSP_settings.asp";
  const std::vector<std::string> args = {"online",      "settings", "--service",
                                         "127.0.0.1:1", "--probe",  "http://127.0.0.1:1/"};
  std::vector<std::string> withJson = args;
  withJson.push_back("--json");
  const auto run = Cli(withJson);
  EXPECT_EQ(run.exitCode, 1);
  ExpectOneLine(run);
  EXPECT_NE(run.err.find(page), std::string::npos) << run.err;
  const json out = json::parse(run.out);
  EXPECT_EQ(out["status"], "FetchException");
  EXPECT_EQ(out["address"], page);
  EXPECT_NE(out["error"].get<std::string>().find(page), std::string::npos) << out;
  EXPECT_NE(out.value("message", std::string()), "");
  EXPECT_EQ(out["keys"], json::array());
  EXPECT_FALSE(out.contains("http_status"));  // nothing answered

  const auto text = Cli(args);
  EXPECT_EQ(text.exitCode, 1);
  ExpectOneLine(text);
  std::istringstream lines(text.out);
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find(": ");
    EXPECT_NE(colon, std::string::npos) << line;
    EXPECT_LT(colon + 2, line.size()) << "a key without a value: " << line;
  }
}

TEST(CliOnline, GetSaysWhatAnsweredWhenItIsNotAReply) {
  test::LoopbackServer server;
  server.On("/gone.asp", {test::ScriptedAnswer::Reply, "This page has moved\nsecond line\n", 404});
  server.On("/home.html", {test::ScriptedAnswer::Reply, "<html><body>Welcome</body></html>\n"});
  const struct {
    std::string path;
    int httpStatus;
    std::string said;  // part of the error
  } kCases[] = {
      {"/gone.asp", 404, "answered HTTP 404: \"This page has moved\""},
      {"/home.html", 200, "not with a reply of the saves service: \"<html><body>Welcome"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.path);
    const auto run = Cli({"online", "get", c.path, "--service", server.HostPort(), "--json"});
    EXPECT_EQ(run.exitCode, 1);
    ExpectOneLine(run);
    EXPECT_NE(run.err.find(server.Url(c.path)), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("second line"), std::string::npos) << run.err;
    const json out = json::parse(run.out);
    EXPECT_EQ(out["status"], "FetchParseFailed");
    EXPECT_EQ(out["address"], server.Url(c.path));
    EXPECT_EQ(out["http_status"], c.httpStatus);
    EXPECT_NE(out["error"].get<std::string>().find(c.said), std::string::npos) << out;
    EXPECT_EQ(out["records"], json::array());
  }
}

TEST(CliOnline, ServiceMustBeHostAndPort) {
  for (const char* refused :
       {"nohost", "host:", "host:0", "host:70000", "http://x:1", "a b:80", ":80", "host:8x"}) {
    SCOPED_TRACE(refused);
    const auto run = Cli({"online", "get", "/x", "--service", refused});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--service"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("--service: --service"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace pspkvx
