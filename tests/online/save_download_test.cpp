// The chosen save downloaded from a scripted service and installed on a stick in a folder.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "base/StringTable.h"
#include "online/LoopbackServer.h"
#include "online/SaveDownload.h"
#include "online/ServiceTags.h"
#include "saves/ContainerWriter.h"
#include "support/SaveStickFixture.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;
using test::ScriptedAnswer;

class RecordingHost : public ISaveDownloadHost {
 public:
  void SetStatusText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    statuses_.push_back(text);
  }
  void EnableCancel(bool enabled) override { cancel_ = enabled; }
  std::string LastStatus() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return statuses_.empty() ? std::string() : statuses_.back();
  }
  std::vector<std::string> Statuses() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return statuses_;
  }
  std::atomic<bool> cancel_{false};

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> statuses_;
};

std::string Description(const std::vector<std::string>& downloadAddresses) {
  std::string reply = "<result>\n";
  for (const std::string& address : downloadAddresses)
    reply += "<save>\n<name>n</name>\n" +
             (address.empty() ? "" : "<download_url>" + address + "</download_url>\n") +
             "</save>\n";
  return reply + "</result>\n";
}

class SaveDownloadTest : public test::SaveStickTest {
 protected:
  SaveDownloadTest() {
    RegisterServiceTags(table_);
    const ContainerWriteResult written =
        WriteContainer("Racer", {{kRecordFolder, "\\ULUS10041SAVE00", {}},
                                 {kRecordFile, "\\ULUS10041SAVE00\\DATA.BIN", "progress"}});
    EXPECT_TRUE(written.ok()) << written.error;
    container_.assign(written.container.begin(), written.container.end());
    server_.On("/file.bin", {ScriptedAnswer::Reply, container_});
    server_.On("/desc.asp", {ScriptedAnswer::Reply, Description({server_.Url("/file.bin")})});
    limits_.idleTimeout = 2s;
  }

  SaveDownloadResult Download(const ManualResetEvent* stop = nullptr) {
    OnlineSaveChoice choice;
    choice.url = server_.Url("/desc.asp?save_id=1");
    choice.bytes = static_cast<int64_t>(container_.size());
    const SaveStick stick = Stick();
    return DownloadSave(SaveDownloadContext{stick, fetcher_, status_, limits_}, choice, stop);
  }
  test::Tree Saves() const { return test::TreeOf(SaveData()); }

  test::LoopbackServer server_;
  TagTable table_;
  TagTableFetcher fetcher_{table_};
  TransferLimits limits_;
  RecordingHost status_;
  std::string container_;
};

TEST_F(SaveDownloadTest, TheSaveIsDownloadedAndInstalled) {
  const SaveDownloadResult result = Download();
  EXPECT_EQ(result.outcome, SaveDownloadOutcome::Installed);
  EXPECT_EQ(result.installResult, 0);
  EXPECT_EQ(result.report.folder, "ULUS10041SAVE00");
  EXPECT_EQ(Saves(), (test::Tree{{"ULUS10041SAVE00", "<folder>"},
                                 {"ULUS10041SAVE00/DATA.BIN", "progress"}}));
  const std::vector<std::string> statuses = status_.Statuses();
  EXPECT_EQ(statuses.front(), StringOf(IDS_DOWNLOADING_SAVE));
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), StringOf(IDS_SAVE_DOWNLOADED)),
            statuses.end());
  EXPECT_EQ(status_.LastStatus(), "");
  EXPECT_FALSE(status_.cancel_);  // the install could not be stopped
  EXPECT_TRUE(host_.requests().empty());
}

TEST_F(SaveDownloadTest, ReplacingASaveAsksFirst) {
  MakeSave("ULUS10041SAVE00", {{"DATA.BIN", "older"}});
  host_.Answer({ResultNo});
  EXPECT_EQ(Download().report.declined, true);
  EXPECT_EQ(test::ReadFileBytes(SavePath("ULUS10041SAVE00") + "/DATA.BIN"), "older");
}

// Each case leaves the stick untouched and shows its message.
struct FailureCase {
  const char* name;
  ScriptedAnswer description;
  ScriptedAnswer file;
  SaveDownloadOutcome outcome;
  int message;
};

class SaveDownloadFailureTest : public SaveDownloadTest,
                                public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SaveDownloadFailureTest, NothingIsWritten) {
  const FailureCase& c = GetParam();
  ScriptedAnswer description = c.description;
  if (description.body == "FIRST_LACKS")
    description.body = Description({"", server_.Url("/file.bin")});
  if (description.body == "STANDARD") description.body = Description({server_.Url("/file.bin")});
  server_.On("/desc.asp", description);
  if (c.file.body != "STANDARD") server_.On("/file.bin", c.file);
  const SaveDownloadResult result = Download();
  EXPECT_EQ(result.outcome, c.outcome);
  ASSERT_EQ(host_.texts().size(), 1u);
  EXPECT_EQ(host_.texts()[0], StringOf(c.message));
  EXPECT_EQ(Saves(), test::Tree{});
}

const ScriptedAnswer kStandard{ScriptedAnswer::Reply, "STANDARD"};

INSTANTIATE_TEST_SUITE_P(Faults, SaveDownloadFailureTest,
                         ::testing::Values(
                             // Only the first record's address counts.
                             FailureCase{"FirstRecordLacksTheAddress",
                                         {ScriptedAnswer::Reply, "FIRST_LACKS"},
                                         kStandard,
                                         SaveDownloadOutcome::MissingAddress,
                                         IDS_SAVE_FILE_MISSING},
                             FailureCase{"DescriptionNotThere",
                                         {ScriptedAnswer::Reply, "not found", 404},
                                         kStandard,
                                         SaveDownloadOutcome::MissingAddress,
                                         IDS_SAVE_FILE_MISSING},
                             FailureCase{"ServiceStopsMidDownload",
                                         kStandard,
                                         {ScriptedAnswer::CloseMidReply, std::string(4000, 'x')},
                                         SaveDownloadOutcome::DownloadFailed,
                                         IDS_SAVE_DOWNLOAD_FAILED},
                             FailureCase{"FileNotThere",
                                         kStandard,
                                         {ScriptedAnswer::Reply, "gone", 404},
                                         SaveDownloadOutcome::DownloadFailed,
                                         IDS_SAVE_DOWNLOAD_FAILED},
                             FailureCase{"EmptyBody",
                                         kStandard,
                                         {ScriptedAnswer::Reply, ""},
                                         SaveDownloadOutcome::DownloadFailed,
                                         IDS_SAVE_DOWNLOAD_FAILED},
                             FailureCase{"ShorterThanAHeader",
                                         kStandard,
                                         {ScriptedAnswer::Reply, "PSPSAVE"},
                                         SaveDownloadOutcome::Installed,
                                         IDS_SAVE_CORRUPT}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveDownloadTest, CancelDuringTheDownloadWritesNothingAndSaysCancelled) {
  server_.On("/file.bin", {ScriptedAnswer::Trickle, "x", 200, 20ms});
  ManualResetEvent stop;
  std::thread cancel([&] {
    std::this_thread::sleep_for(300ms);
    stop.Set();
  });
  const SaveDownloadResult result = Download(&stop);
  cancel.join();
  EXPECT_EQ(result.outcome, SaveDownloadOutcome::Cancelled);
  EXPECT_EQ(status_.LastStatus(), StringOf(IDS_CANCELLED));
  EXPECT_TRUE(host_.texts().empty());
  EXPECT_EQ(Saves(), test::Tree{});
}

TEST_F(SaveDownloadTest, WithoutAChoiceOrAPspNothingHappens) {
  const SaveStick stick = Stick();
  EXPECT_EQ(
      DownloadSave(SaveDownloadContext{stick, fetcher_, status_, limits_}, std::nullopt, nullptr)
          .outcome,
      SaveDownloadOutcome::NoSave);
  platform_.Change([](test::FakePlatform& f) {
    f.usbPaths.clear();
    f.volumes.clear();
  });
  for (int i = 0; i < 3 && drive_.IsReady(); ++i)
    drive_.Poll();
  ASSERT_FALSE(drive_.IsReady());
  EXPECT_EQ(Download().outcome, SaveDownloadOutcome::NoPsp);
  EXPECT_TRUE(host_.texts().empty());
  EXPECT_TRUE(server_.Requests().empty());
}

}  // namespace
}  // namespace pspkvx
