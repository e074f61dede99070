#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "LoopbackServer.h"
#include "online/FileDownload.h"
#include "online/ServiceTags.h"
#include "online/TagTable.h"
#include "online/TagTableFetcher.h"
#include "saves/ContainerValidation.h"
#include "saves/SaveContainer.h"
#include "support/ServiceProcess.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::ScriptedAnswer;

// Limits short enough for tests; the product keeps 30 s, 60 s, 4 MiB and 256 MiB.
TransferLimits QuickLimits() {
  TransferLimits limits;
  limits.connectTimeout = 2s;
  limits.idleTimeout = 300ms;
  limits.maxReplyBytes = 64 * 1024;
  limits.maxDownloadBytes = 256 * 1024;
  return limits;
}

// A table registered as the main window registers it, and its fetcher on short limits.
struct Client {
  Client() {
    RegisterServiceTags(table);
    fetcher.SetTransferLimits(QuickLimits());
  }
  TagTable table;
  TagTableFetcher fetcher{table};
};

// One request; the status it ended with.
int Fetch(Client& client, const std::string& address) {
  return client.fetcher.Fetch(address).status;
}

std::string Field(const TagTable& table, int record, const std::string& name) {
  std::string value = "<missing>";
  table.FieldValue(table.RecordAt(record), name, value);
  return value;
}

std::string Value(const TagTable& table, const std::string& name) {
  std::string value;
  table.LookupTag(name, value);
  return value;
}

TEST(Transport, WalksTheRealServiceFromSettingsToASaveFile) {
  test::TempDir dir;
  test::ServiceProcess service(dir.File("service.db"));
  Client client;
  ASSERT_EQ(Fetch(client, service.Base() + "/tolvexPSP_settings.asp"), FetchOk);
  for (const char* key : kSettingsKeys)
    EXPECT_NE(Value(client.table, key), "") << key;
  EXPECT_EQ(client.fetcher.RequestPhase(), PhaseIdle);

  ASSERT_EQ(Fetch(client, Value(client.table, "ALPHA_KAVEX_URL") + "corvane=1&region_id=3"),
            FetchOk);
  for (const char* c = kIndexInitials; *c; ++c)
    EXPECT_GT(std::stoi(Value(client.table, LetterBlockTag(*c))), 0) << *c;

  ASSERT_EQ(Fetch(client, Value(client.table, "CORVANES_URL") + "region_id=0&az=Q&rnd=0"), FetchOk);
  ASSERT_GE(client.table.RecordCount(), 1);
  EXPECT_EQ(Field(client.table, 0, "<game_title_id>").substr(0, 4), "ULUS");
  const std::string savesList = Field(client.table, 0, "<url>");
  EXPECT_NE(Field(client.table, 0, "<png>"), "<missing>");
  EXPECT_NE(Field(client.table, 0, "<released>"), "<missing>");

  ASSERT_EQ(Fetch(client, savesList + "&rnd=1"), FetchOk);
  ASSERT_GE(client.table.RecordCount(), 1);
  for (const char* field :
       {"<name>", "<description>", "<url>", "<png>", "<game_title_id>", "<save_id>", "<author>",
        "<posted>", "<save_filesize>", "<rating>", "<votes>"})
    EXPECT_NE(Field(client.table, 0, field), "<missing>") << field;
  const std::string size = Field(client.table, 0, "<save_filesize>");

  ASSERT_EQ(Fetch(client, Field(client.table, 0, "<url>")), FetchOk);
  ASSERT_EQ(client.table.RecordCount(), 1);
  EXPECT_EQ(Field(client.table, 0, "<download_size>"), size);
  FileDownload download;
  ASSERT_EQ(download.DownloadFile(Field(client.table, 0, "<download_url>")), 1);
  EXPECT_EQ(std::to_string(download.ResultLength()), size);
  EXPECT_EQ(download.Result()->size(), 4 + download.ResultLength());
  EXPECT_EQ(download.Received(), download.ResultLength());
  std::vector<uint8_t> buffer = *download.Result();
  const auto container = ContainerInBuffer(buffer);
  ASSERT_TRUE(container);
  EXPECT_TRUE(CheckAndValidateContainer(*container).ok());

  // Pictures are PNG files.
  ASSERT_EQ(Fetch(client, Value(client.table, "CORVANES_URL") + "region_id=3&az=7&rnd=2"), FetchOk);
  ASSERT_EQ(download.DownloadFile(Field(client.table, 0, "<png>")), 1);
  ASSERT_GT(download.ResultLength(), 8u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(download.Result()->data()) + 4, 8),
            "\x89PNG\r\n\x1a\n");
}

struct MisbehaviourCase {
  const char* name;
  ScriptedAnswer answer;
  int requestStatus;   // of the request worker
  int downloadResult;  // of DownloadFile
  size_t downloadLength;
};

void PrintTo(const MisbehaviourCase& c, std::ostream* os) {
  *os << c.name;
}

class Misbehaviour : public testing::TestWithParam<MisbehaviourCase> {};

TEST_P(Misbehaviour, EndsInAFailureStatusNeverAHang) {
  const MisbehaviourCase& c = GetParam();
  LoopbackServer server;
  server.On("/page", c.answer);
  Client client;
  EXPECT_EQ(Fetch(client, server.Url("/page")), c.requestStatus);
  FileDownload download;
  download.SetTransferLimits(QuickLimits());
  EXPECT_EQ(download.DownloadFile(server.Url("/page")), c.downloadResult);
  EXPECT_EQ(download.ResultLength(), c.downloadLength);
  EXPECT_EQ(download.Result() != nullptr, c.downloadResult == 1);
}

const std::string kHtml = "<!DOCTYPE html>\n<html><body>Proxy error</body></html>\n";

INSTANTIATE_TEST_SUITE_P(
    Transport, Misbehaviour,
    testing::Values(
        MisbehaviourCase{"ClosesMidReply",
                         {ScriptedAnswer::CloseMidReply, "<result>\n<save>\n"},
                         FetchException,
                         0,
                         0},
        MisbehaviourCase{"AnswersWithAnHtmlPage",
                         {ScriptedAnswer::Reply, kHtml},
                         FetchParseFailed,
                         1,
                         kHtml.size()},
        MisbehaviourCase{"NeverAnswers", {ScriptedAnswer::NeverAnswer, ""}, FetchException, 0, 0},
        MisbehaviourCase{
            "SendsMoreThanTheLimit", {ScriptedAnswer::Endless, "<result>\n"}, FetchException, 0, 0},
        MisbehaviourCase{"StallsAfterTheFirstBytes",
                         {ScriptedAnswer::Trickle, "<result>\n", 200, 5000ms},
                         FetchException,
                         0,
                         0},
        // An error page is read as a reply (and fails as one) but is not the file asked for.
        MisbehaviourCase{
            "AnswersNotFound", {ScriptedAnswer::Reply, "Not Found\n", 404}, FetchParseFailed, 1, 0},
        MisbehaviourCase{
            "AnswersWithNothing", {ScriptedAnswer::Reply, ""}, FetchParseFailed, 1, 0}),
    [](const testing::TestParamInfo<MisbehaviourCase>& info) { return info.param.name; });

TEST(Transport, ReplyLinesAreReadAsTheWorkerKeepsThem) {
  LoopbackServer server;
  server.On("/settings", {ScriptedAnswer::Reply,
                          "<?xml version=\"1.0\"?>\r\nCORVANES_URL=http://s/c?\r\n"
                          "<save><name>n</name></save>\r\nVERSION_URL=http://s/v_1_116.bin"});
  Client client;
  ASSERT_EQ(Fetch(client, server.Url("/settings")), FetchOk);
  EXPECT_EQ(Value(client.table, "CORVANES_URL"), "http://s/c?");
  EXPECT_EQ(Value(client.table, "VERSION_URL"), "http://s/v_1_116.bin");
  EXPECT_EQ(client.table.RecordCount(), 1);
}

TEST(Transport, AddressesThatAreNotHttpAreRefusedWithoutARequest) {
  LoopbackServer server;
  Client client;
  const std::string ftp = "ftp://" + server.HostPort() + "/page";
  EXPECT_EQ(Fetch(client, ftp), FetchOpenFailed);
  EXPECT_EQ(Fetch(client, "file:///etc/passwd"), FetchOpenFailed);
  EXPECT_EQ(client.table.RecordCount(), 0);
  FileDownload download;
  EXPECT_EQ(download.DownloadFile(ftp), 0);
  EXPECT_EQ(download.DownloadFile("not an address"), 0);
  EXPECT_EQ(download.Result(), nullptr);
  EXPECT_TRUE(server.Requests().empty());
}

TEST(Transport, NoServiceListeningIsAnException) {
  std::string address;
  {
    LoopbackServer gone;
    address = gone.Url("/page");
  }
  Client client;
  EXPECT_EQ(Fetch(client, address), FetchException);
  FileDownload download;
  EXPECT_EQ(download.DownloadFile(address), 0);
}

TEST(Transport, RequestUrlRefusesWhileBusyAndLeavesTheRunningRequestAlone) {
  LoopbackServer server;
  server.On("/slow", {ScriptedAnswer::NeverAnswer, ""});
  Client client;
  EXPECT_EQ(client.fetcher.RequestStatus(), FetchStopped);  // no worker yet
  ASSERT_TRUE(client.fetcher.RequestUrl(server.Url("/slow")));
  EXPECT_EQ(client.fetcher.RequestStatus(), FetchBusy);
  EXPECT_FALSE(client.fetcher.RequestUrl(server.Url("/other")));
  EXPECT_EQ(client.fetcher.RequestAddress(), server.Url("/slow"));
  client.fetcher.WaitWhileBusy();
  EXPECT_EQ(client.fetcher.RequestStatus(), FetchException);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"/slow"});
}

TEST(Transport, StoppingTheWorkerEndsARunningRequest) {
  LoopbackServer server;
  server.On("/slow", {ScriptedAnswer::NeverAnswer, ""});
  TagTable table;
  TagTableFetcher fetcher(table);  // product limits: only the stop ends it
  ASSERT_TRUE(fetcher.RequestUrl(server.Url("/slow")));
  while (server.Requests().empty())
    std::this_thread::sleep_for(5ms);
  fetcher.StopRequestWorker(10);
  EXPECT_EQ(fetcher.RequestStatus(), FetchStopped);
  // A new request brings up a new worker.
  server.On("/page", {ScriptedAnswer::Reply, "<result></result>\n"});
  EXPECT_EQ(fetcher.Fetch(server.Url("/page")).status, FetchOk);
}

TEST(FileDownload, StoppedMidWayReturnsOneWithLengthZero) {
  LoopbackServer server;
  server.On("/file", {ScriptedAnswer::Trickle, std::string(1000, 'b'), 200, 20ms});
  FileDownload download;  // product limits: only the stop ends it
  ManualResetEvent stop;
  std::atomic<bool> ended{false};
  std::thread stopper([&] {
    while (download.Received() < 3000 && !ended)
      std::this_thread::sleep_for(2ms);
    stop.Set();
  });
  EXPECT_EQ(download.DownloadFile(server.Url("/file"), &stop), 1);
  ended = true;
  stopper.join();
  EXPECT_EQ(download.ResultLength(), 0u);
  ASSERT_NE(download.Result(), nullptr);
  EXPECT_EQ(download.Result()->size(), 4u);
  EXPECT_GE(download.Received(), 3000u);
}

TEST(FileDownload, AStopSetBeforehandSendsNothing) {
  LoopbackServer server;
  ManualResetEvent stop;
  stop.Set();
  FileDownload download;
  EXPECT_EQ(download.DownloadFile(server.Url("/file"), &stop), 1);
  EXPECT_EQ(download.ResultLength(), 0u);
  EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace pspkvx
