#include <gtest/gtest.h>

#include <mutex>

#include "LoopbackServer.h"
#include "base/StringTable.h"
#include "online/LineSettings.h"
#include "online/ServiceSettings.h"
#include "online/ServiceTags.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::ScriptedAnswer;

// A table registered as the main window registers it, and its fetcher on short limits.
struct Client {
  Client() {
    RegisterServiceTags(table);
    TransferLimits limits;
    limits.connectTimeout = 2s;
    limits.idleTimeout = 300ms;
    fetcher.SetTransferLimits(limits);
  }
  TagTable table;
  TagTableFetcher fetcher{table};
};

std::string Value(const TagTable& table, const std::string& key) {
  std::string value;
  table.LookupTag(key, value);
  return value;
}

int ParsePage(TagTable& table, const std::string& page) {
  return table.ParseReply(page.c_str(), page.size());
}

TEST(SettingsPage, KeyLinesAsTheReaderTakesThem) {
  const struct {
    const char* page;
    const char* key;
    const char* value;
  } cases[] = {
      {"CORVANES_URL=\n", "CORVANES_URL", ""},
      {"CORVANES_URL  =  http://s/c.asp?  \n", "CORVANES_URL", "http://s/c.asp?  "},
      {"CORVANES_URL http://s/c.asp?\n", "CORVANES_URL", "http://s/c.asp?"},
      {"VERSION_URL=http://s/a_1_115.bin\nVERSION_URL=http://s/a_2_116.bin\n", "VERSION_URL",
       "http://s/a_2_116.bin"},
      {"VERSION_URL==twice\n", "VERSION_URL", "=twice"},
      {"// a comment line\nPNG_URL=http://s/png/\n", "PNG_URL", "http://s/png/"},
      {"PNG_URL=http://s/png/\nUNKNOWN_KEY=1\n<unknown>x</unknown>\nRESULT=OK\n", "RESULT", "OK"},
  };
  for (const auto& c : cases) {
    Client client;
    EXPECT_EQ(ParsePage(client.table, c.page), 0) << c.page;
    EXPECT_EQ(Value(client.table, c.key), c.value) << c.page;
  }
}

TEST(SettingsPage, ASecondFetchWithoutAKeyKeepsItAndAnHtmlPageChangesNothing) {
  Client client;
  ASSERT_EQ(ParsePage(client.table, "CORVANES_URL=http://s/c?\nVERSION_URL=http://s/v_1_115.bin\n"),
            0);
  ASSERT_EQ(ParsePage(client.table, "VERSION_URL=http://s/v_1_116.bin\n"), 0);
  EXPECT_EQ(Value(client.table, "CORVANES_URL"), "http://s/c?");
  EXPECT_EQ(Value(client.table, "VERSION_URL"), "http://s/v_1_116.bin");
  EXPECT_EQ(ParsePage(client.table, "<html>\nCORVANES_URL=http://proxy/\n</html>\n"), -1);
  EXPECT_EQ(Value(client.table, "CORVANES_URL"), "http://s/c?");
}

TEST(ServiceEndpoints, ComeFromTheProgramFolderOrTheDefaults) {
  const struct {
    const char* hostFile;  // null: no file
    const char* probeFile;
    const char* settingsPage;
    const char* probe;
  } cases[] = {
      {nullptr, nullptr, "http://127.0.0.1:8377/tolvexPSP_settings.asp", "http://www.example.com/"},
      {"saves.example.net:8080\n", "http://probe.example.org/\n",
       "http://saves.example.net:8080/tolvexPSP_settings.asp", "http://probe.example.org/"},
      {"  https://saves.example.net/  \r\nignored second line\n", "",
       "https://saves.example.net/tolvexPSP_settings.asp", "http://www.example.com/"},
      {"\n", nullptr, "http://127.0.0.1:8377/tolvexPSP_settings.asp", "http://www.example.com/"},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    if (c.hostFile) test::WriteFileBytes(dir.File("service.host"), c.hostFile);
    if (c.probeFile) test::WriteFileBytes(dir.File("service.probe"), c.probeFile);
    const ServiceEndpoints endpoints = LoadServiceEndpoints(dir.path());
    EXPECT_EQ(endpoints.settingsPageAddress, c.settingsPage);
    EXPECT_EQ(endpoints.probeAddress, c.probe);
  }
}

// What the online worker would show, recorded; the test may change the server between
// attempts.
struct RecordingHost : ISettingsFetchHost {
  std::vector<std::string> texts;
  int repaints = 0;
  int loadedCalls = 0;
  int attemptsOnPage = 1000;  // OnOnlinePage turns false after this many questions
  std::function<void(int)> afterRepaint;

  void SetStatusText(const std::string& text) override { texts.push_back(text); }
  void Repaint() override {
    ++repaints;
    if (afterRepaint) afterRepaint(repaints);
  }
  bool OnOnlinePage() override { return --attemptsOnPage >= 0; }
  void SettingsLoaded() override { ++loadedCalls; }
};

const std::string kGoodPage = "<result>\nCORVANES_URL=http://s/corvanes.asp?\n</result>\n";
const std::string kNotFunctioning =
    StringOf(IDS_SERVER_NOT_FUNCTIONING) + " (" + kSupportAddress + ")";

TEST(FetchServiceSettings, LoadsThePageAndShowsTheGameListText) {
  LoopbackServer server;
  server.On("/tolvexPSP_settings.asp", {ScriptedAnswer::Reply, kGoodPage});
  Client client;
  RecordingHost host;
  ManualResetEvent stop;
  EXPECT_EQ(FetchServiceSettings(client.fetcher, EndpointsFor(server.HostPort()), host, stop, 10ms),
            SettingsFetchResult::Loaded);
  EXPECT_EQ(host.texts, (std::vector<std::string>{StringOf(IDS_CONNECTING),
                                                  StringOf(IDS_RECEIVING_GAME_LIST)}));
  EXPECT_EQ(host.loadedCalls, 1);
  EXPECT_EQ(Value(client.table, "CORVANES_URL"), "http://s/corvanes.asp?");
}

TEST(FetchServiceSettings, AnEmptyCorvanesValueIsFetchedAgainWhileTheTextStays) {
  LoopbackServer server;
  server.On("/tolvexPSP_settings.asp", {ScriptedAnswer::Reply, "CORVANES_URL=\n"});
  Client client;
  RecordingHost host;
  // Repaint 1 is "Connecting"; each attempt repaints once more. The third attempt succeeds.
  host.afterRepaint = [&](int repaints) {
    if (repaints == 3) server.On("/tolvexPSP_settings.asp", {ScriptedAnswer::Reply, kGoodPage});
  };
  ManualResetEvent stop;
  EXPECT_EQ(FetchServiceSettings(client.fetcher, EndpointsFor(server.HostPort()), host, stop, 10ms),
            SettingsFetchResult::Loaded);
  EXPECT_EQ(server.Requests().size(), 3u);
  EXPECT_EQ(host.texts, (std::vector<std::string>{StringOf(IDS_CONNECTING),
                                                  StringOf(IDS_RECEIVING_GAME_LIST)}));
}

TEST(FetchServiceSettings, StatusTextsOfFailures) {
  LoopbackServer site;  // a public site: answers with a page in no reply format
  site.On("/", {ScriptedAnswer::Reply, "<!DOCTYPE html>\n<html></html>\n"});
  std::string deadHost;
  {
    LoopbackServer gone;
    deadHost = gone.HostPort();
  }
  LoopbackServer service;
  service.On("/tolvexPSP_settings.asp", {ScriptedAnswer::Reply, "<html>proxy error</html>\n"});

  ServiceEndpoints unreachableSiteAnswers = EndpointsFor(deadHost, site.Url("/"));
  ServiceEndpoints nothingAnswers = EndpointsFor(deadHost, "http://" + deadHost + "/");
  ServiceEndpoints htmlPage = EndpointsFor(service.HostPort(), site.Url("/"));
  ServiceEndpoints notHttp = EndpointsFor(service.HostPort(), site.Url("/"));
  notHttp.settingsPageAddress = "ftp://" + service.HostPort() + "/tolvexPSP_settings.asp";

  const struct {
    const char* name;
    ServiceEndpoints endpoints;
    int status;
    std::string text;
  } cases[] = {
      {"service down, internet works", unreachableSiteAnswers, FetchException, kNotFunctioning},
      {"nothing answers", nothingAnswers, FetchException, StringOf(IDS_CANNOT_READ_SERVER)},
      {"page in no reply format", htmlPage, FetchParseFailed, StringOf(IDS_CONNECTION_PROBLEM)},
      {"address cannot be opened", notHttp, FetchOpenFailed, kNotFunctioning},
  };
  for (const auto& c : cases) {
    Client client;
    const SettingsAttempt attempt = FetchSettingsOnce(client.fetcher, c.endpoints);
    EXPECT_EQ(attempt.status, c.status) << c.name;
    EXPECT_EQ(attempt.text, c.text) << c.name;
    EXPECT_FALSE(attempt.loaded) << c.name;

    // The routine shows the text and ends when the user leaves the page.
    RecordingHost host;
    host.attemptsOnPage = 1;
    ManualResetEvent stop;
    EXPECT_EQ(FetchServiceSettings(client.fetcher, c.endpoints, host, stop, 10ms),
              SettingsFetchResult::LeftPage)
        << c.name;
    EXPECT_EQ(host.texts, (std::vector<std::string>{StringOf(IDS_CONNECTING), c.text, c.text}))
        << c.name;
    EXPECT_EQ(host.loadedCalls, 0);
  }
}

TEST(FetchServiceSettings, TheStopEventEndsTheRetries) {
  LoopbackServer server;
  server.On("/tolvexPSP_settings.asp", {ScriptedAnswer::Reply, "CORVANES_URL=\n"});
  Client client;
  RecordingHost host;
  ManualResetEvent stop;
  host.afterRepaint = [&](int repaints) {
    if (repaints == 2) stop.Set();
  };
  EXPECT_EQ(FetchServiceSettings(client.fetcher, EndpointsFor(server.HostPort()), host, stop, 10s),
            SettingsFetchResult::Stopped);
  EXPECT_EQ(server.Requests().size(), 1u);
}

struct RecordingMessages : IMessageBoxHost {
  std::vector<std::string> shown;
  int ShowMessageBox(const MessageBoxRequest& request) override {
    shown.push_back(request.text);
    return ResultOk;
  }
  void SetMessageShowing(bool) override {}
};

TEST(LineSettings, KeepsLongEnoughLinesOfTheFiveKeys) {
  LoopbackServer server;
  server.On("/page",
            {ScriptedAnswer::Reply,
             "<?xml version=\"1.0\"?>\r\nSAVES_URL=http://s/tree?\r\nPNG_URL=http://s/png/\n"
             "VERSION_URL=http://s/v_1_116.bin\nCODELIST_URL=http://s/codes?\n"
             "UPLOAD_URL=http://s/up?\nCORVANES_URL=http://s/c?\n"});
  LineSettings settings;
  RecordingMessages messages;
  EXPECT_EQ(settings.SavesUrl(), "");
  ASSERT_TRUE(settings.LoadLineSettings(server.Url("/page"), &messages));
  EXPECT_TRUE(settings.Loaded());
  EXPECT_EQ(settings.SavesUrl(), "http://s/tree?");
  EXPECT_EQ(settings.PngUrl(), "http://s/png/");
  EXPECT_EQ(settings.VersionUrl(), "http://s/v_1_116.bin");
  EXPECT_EQ(settings.CodelistUrl(), "http://s/codes?");
  EXPECT_EQ(settings.UploadUrl(), "http://s/up?");

  // Lines of 10 characters or fewer are ignored; "VERSION_URL=" is always long enough.
  server.On("/page", {ScriptedAnswer::Reply, "PNG_URL=ab\nVERSION_URL=\nSAVES_URL=\n"});
  ASSERT_TRUE(settings.LoadLineSettings(server.Url("/page"), &messages));
  EXPECT_EQ(settings.PngUrl(), "http://s/png/");
  EXPECT_EQ(settings.VersionUrl(), "");
  EXPECT_EQ(settings.SavesUrl(), "http://s/tree?");  // "SAVES_URL=" has 10 characters
  EXPECT_TRUE(messages.shown.empty());
}

TEST(LineSettings, AServerThatCannotBeReachedLeavesItUnloaded) {
  std::string address;
  {
    LoopbackServer gone;
    address = gone.Url("/page");
  }
  LineSettings settings;
  RecordingMessages messages;
  EXPECT_FALSE(settings.LoadLineSettings(address, &messages));
  EXPECT_FALSE(settings.Loaded());
  EXPECT_EQ(messages.shown, std::vector<std::string>{StringOf(IDS_NO_ONLINE_SERVER)});

  // The tree browser's way in tries once more, then says the internet is not working.
  messages.shown.clear();
  EXPECT_EQ(settings.SavesUrlOrLoad(address, &messages), "");
  EXPECT_EQ(messages.shown, (std::vector<std::string>{StringOf(IDS_NO_ONLINE_SERVER),
                                                      StringOf(IDS_INTERNET_NOT_WORKING)}));
}

TEST(LineSettings, TheTreeBrowserLoadsOnlyWhenItHasNoAddress) {
  LoopbackServer server;
  server.On("/page", {ScriptedAnswer::Reply, "SAVES_URL=http://s/tree?\n"});
  LineSettings settings;
  RecordingMessages messages;
  EXPECT_EQ(settings.SavesUrlOrLoad(server.Url("/page"), &messages), "http://s/tree?");
  EXPECT_EQ(settings.SavesUrlOrLoad(server.Url("/page"), &messages), "http://s/tree?");
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace pspkvx
