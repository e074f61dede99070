// The update check as the window runs it, against a scripted service: the newest release found,
// its signature fetched first, the release downloaded with its progress, checked and written as
// the updater, which is then started; and every way that goes wrong ends with nothing written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <mutex>

#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "online/LoopbackServer.h"
#include "online/ServiceSettings.h"
#include "ui/ControlIds.h"
#include "ui/OnlinePages.h"
#include "ui/StatusLine.h"
#include "ui/UpdateCheckDlg.h"
#include "ui/UpdatePages.h"
#include "ui/manager_fixture.h"
#include "update/UpgradePackage.h"
#include "update/UpgradeSignature.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::ScriptedAnswer;

// The dialog's face as the worker leaves it.
class RecordingFace : public IUpdateDialogView {
 public:
  void SetText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    texts_.push_back(text);
  }
  void SetOkFaces() override { ok_ = true; }
  void SetProgress(double, const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_.push_back(text);
  }
  void EndDialog(int result) override { ended_ = result; }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    texts_.clear();
    progress_.clear();
    ok_ = false;
    ended_ = INT_MIN;
  }

  std::vector<std::string> Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }
  std::string LastText() const {
    const auto texts = Texts();
    return texts.empty() ? "" : texts.back();
  }
  std::vector<std::string> Progress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
  }
  bool Ended() const { return ended_.load() != INT_MIN; }
  int EndResult() const { return ended_.load(); }
  bool Ok() const { return ok_.load(); }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::vector<std::string> progress_;
  std::atomic<bool> ok_{false};
  std::atomic<int> ended_{INT_MIN};
};

enum class Signed { Right, Missing, OtherKey, AfterTampering };

// A program the updater's place can hold: it says it was started, in the folder it runs in.
constexpr char kUpdater[] = "#!/bin/sh\necho started > ./updater-started\n";

class UpdateCheckTest : public test::ManagerTest {
 protected:
  UpdateCheckTest() {
    key_ = *MakeUpgradeKeyPair();
    test::WriteFileBytes(app_.m_szProgramFolder + "/service.host", server_.HostPort() + "\n");
  }

  std::string UpgradePath() const { return app_.m_szProgramFolder + "/upgrade"; }

  // The settings page names a release of that version, whose container holds program.
  // Returns the release's path.
  std::string Offer(int version, const std::string& program, Signed how,
                    const std::function<void(std::vector<uint8_t>&)>& corrupt = {}) {
    const std::vector<uint8_t> bytes(program.begin(), program.end());
    std::vector<uint8_t> container = MakeUpgradeContainer(bytes).container;
    if (corrupt) corrupt(container);
    std::vector<uint8_t> signature = SignUpgrade(container, key_.secretKey);
    if (how == Signed::OtherKey)
      signature = SignUpgrade(container, MakeUpgradeKeyPair()->secretKey);
    if (how == Signed::AfterTampering) container.back() ^= 1;
    const std::string path = "/release/pspkvx_upgrade_" + std::to_string(container.size() / 1000) +
                             "_" + std::to_string(version) + ".bin";
    OfferAddress(server_.Url(path));
    server_.On(path, {ScriptedAnswer::Reply, std::string(container.begin(), container.end())});
    if (how != Signed::Missing)
      server_.On(path + ".sig",
                 {ScriptedAnswer::Reply, std::string(signature.begin(), signature.end())});
    return path;
  }
  void OfferAddress(const std::string& address) {
    server_.On(kSettingsPagePath,
               {ScriptedAnswer::Reply, "<result>\nVERSION_URL=" + address + "\n</result>\n"});
  }

  // The update check as "Check For Updates Now" runs it; during is what the user does while the
  // dialog is open. Once the worker is done, "OK" closes the dialog. True when the updater
  // was started.
  bool RunCheck(const std::function<void(CUpdateCheckDlg&)>& during = {}) {
    view_.runUpdate_ = [&](CUpdateCheckDlg& dialog) {
      dialog.Attach(&face_);
      dialog.OnInitDialog();
      if (during) during(dialog);
      PumpUntil([&] { return face_.Ended() || !dialog.Working(); });
      stayedOpen_ = !face_.Ended();
      if (!face_.Ended()) dialog.OnCancel();
      PumpUntil([&] { return face_.Ended(); });
      dialog.Attach(nullptr);
    };
    Window().Updates().SetPublicKey(key_.publicKey);
    return Window().Updates().RunUpdateCheck();
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : view_.boxes_)
      texts.push_back(box.text);
    return texts;
  }
  bool Requested(const std::string& end) const {
    for (const std::string& target : server_.Requests())
      if (target.size() >= end.size() &&
          target.compare(target.size() - end.size(), end.size(), end) == 0)
        return true;
    return false;
  }

  test::LoopbackServer server_;
  UpgradeKeyPair key_;
  RecordingFace face_;
  bool stayedOpen_ = false;
};

TEST_F(UpdateCheckTest, ANewerSignedReleaseIsDownloadedWrittenAndItsUpdaterStarted) {
  Offer(116, kUpdater, Signed::Right);
  EXPECT_TRUE(RunCheck());

  const std::vector<std::string> texts = face_.Texts();
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], StringOf(IDS_CHECKING_FOR_UPDATES));
  EXPECT_EQ(texts[1], StringOf(IDS_NEW_VERSION_DOWNLOADING) + " 1.16");
  EXPECT_EQ(texts.back(), StringOf(IDS_DOWNLOAD_FINISHED));
  EXPECT_TRUE(face_.Ok());
  EXPECT_TRUE(stayedOpen_);  // "click OK to perform upgrade"
  ASSERT_FALSE(face_.Progress().empty());
  // The expected size is the address's kilobytes: the container's size over 1000, rounded down.
  EXPECT_EQ(face_.Progress().back(), "5K of 5K");
  EXPECT_TRUE(BoxTexts().empty()) << BoxTexts()[0];

  // The signature was asked for before the release.
  const auto requests = server_.Requests();
  const auto signature = std::find_if(requests.begin(), requests.end(),
                                      [](const auto& r) { return r.ends_with(".bin.sig"); });
  const auto release = std::find_if(requests.begin(), requests.end(),
                                    [](const auto& r) { return r.ends_with(".bin"); });
  ASSERT_NE(signature, requests.end());
  EXPECT_LT(signature, release);

  EXPECT_EQ(test::ReadFileBytes(UpgradePath()), kUpdater);
  struct stat info {};
  ASSERT_EQ(stat(UpgradePath().c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
  const std::string started = app_.m_szProgramFolder + "/updater-started";
  EXPECT_TRUE(PumpUntil([&] { return fs::exists(started); }));
}

// Each way the check ends without an upgrade: what the user is told, and that nothing is written.
struct RefusalCase {
  const char* name;
  int version;
  Signed signature;
  bool breakChecksum;
  int box;          // the message shown (0: none)
  bool failedText;  // the dialog ends with the failure text (else "No new updates...")
  bool releaseFetched;
};

class UpdateRefusalTest : public UpdateCheckTest,
                          public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(UpdateRefusalTest, NothingIsWritten) {
  const RefusalCase& c = GetParam();
  Offer(c.version, kUpdater, c.signature, [&](std::vector<uint8_t>& container) {
    if (c.breakChecksum) container[0] ^= 1;
  });
  EXPECT_FALSE(RunCheck());
  EXPECT_EQ(face_.LastText(),
            c.failedText ? StringOf(IDS_UPGRADE_FAILED) + Window().Endpoints().supportAddress
                         : StringOf(IDS_NO_NEW_UPDATES));
  EXPECT_TRUE(face_.Ok());
  EXPECT_TRUE(stayedOpen_);
  if (c.box == 0)
    EXPECT_TRUE(BoxTexts().empty());
  else
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{StringOf(c.box)});
  EXPECT_EQ(Requested(".bin"), c.releaseFetched);
  EXPECT_FALSE(fs::exists(UpgradePath()));
  EXPECT_EQ(Window().Online().Engine().State(), DownloadIdle);  // free for the next download
}

INSTANTIATE_TEST_SUITE_P(
    Releases, UpdateRefusalTest,
    ::testing::Values(RefusalCase{"NotNewer", 115, Signed::Right, false, 0, false, false},
                      RefusalCase{"NoSignature", 116, Signed::Missing, false,
                                  IDS_UPGRADE_NOT_SIGNED, true, false},
                      RefusalCase{"AnotherKey", 116, Signed::OtherKey, false,
                                  IDS_UPGRADE_BAD_SIGNATURE, true, true},
                      RefusalCase{"AlteredOnTheWay", 116, Signed::AfterTampering, false,
                                  IDS_UPGRADE_BAD_SIGNATURE, true, true},
                      RefusalCase{"SignedButBroken", 116, Signed::Right, true,
                                  IDS_SAVE_CHECKSUM_FAILED, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheckTest, AnUnusableReleaseAddressEndsTheDialogWithTheServerMessage) {
  OfferAddress("ab.c");  // its last "." is among the first three characters
  EXPECT_FALSE(RunCheck());
  EXPECT_EQ(face_.EndResult(), -1);
  EXPECT_FALSE(stayedOpen_);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{StringOf(IDS_CANNOT_READ_SERVER)});
  EXPECT_EQ(Window().Updates().LaunchUpgrade(), -1);
}

TEST_F(UpdateCheckTest, CancelDuringTheDownloadSaysSoAndTheDialogStaysUntilOk) {
  const std::string release = Offer(116, kUpdater, Signed::Right);
  // The release never ends: it trickles until the download is cancelled.
  server_.On(release,
             {ScriptedAnswer::Trickle, std::string(500, 'x'), 200, std::chrono::milliseconds(20)});
  EXPECT_FALSE(RunCheck([&](CUpdateCheckDlg& dialog) {
    ASSERT_TRUE(PumpUntil([&] { return face_.Progress().size() >= 3; }));
    dialog.OnCancel();
  }));
  EXPECT_EQ(face_.LastText(), StringOf(IDS_DOWNLOAD_CANCELLED));
  EXPECT_TRUE(stayedOpen_);
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_FALSE(fs::exists(UpgradePath()));
}

TEST_F(UpdateCheckTest, TheOnlinePageTellsOfANewerReleaseOnceItsListHasCome) {
  const std::string release = server_.Url("/release/pspkvx_upgrade_5_116.bin");
  server_.On(kSettingsPagePath,
             {ScriptedAnswer::Reply,
              "<result>\nVERSION_URL=" + release + "\nCORVANES_URL=" + server_.Url("/games.asp?") +
                  "\nALPHA_KAVEX_URL=" + server_.Url("/index.asp?") + "\n</result>\n"});
  server_.On("/index.asp", {ScriptedAnswer::Reply, "<result>\n<CHAR_A>2</CHAR_A>\n</result>\n"});
  CManagerDlg& window = Window();
  window.OnCommand(IdTabOnline);
  // The loading texts come and go first; then the notice stays for its ticks.
  EXPECT_TRUE(PumpUntil([&] {
    return window.StatusText() == CutStatusText(FormatString(IDS_VERSION_AVAILABLE, {1.16}));
  })) << window.StatusText();
}

TEST_F(UpdateCheckTest, TheStatusLineTellsOfANewerReleaseOnlyWhenThereIsOne) {
  CManagerDlg& window = Window();
  for (const int version : {115, 116}) {
    window.Status().Set("");
    Offer(version, kUpdater, Signed::Right);
    FetchSettingsOnce(window.Fetcher(), window.Endpoints());
    window.Updates().ShowVersionNotice();
    EXPECT_EQ(window.StatusText(),
              version == 116 ? CutStatusText(FormatString(IDS_VERSION_AVAILABLE, {1.16})) : "");
  }
}

}  // namespace
}  // namespace pspkvx
