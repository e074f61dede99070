// The updater's work over a real folder: files replaced with their permissions, nothing replaced
// for a refused package or a failed write, the wait for PSPKVX with its limit and its stop, and
// no temporary file left behind on any path.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "base/LittleEndian.h"
#include "support/Process.h"
#include "support/TempDir.h"
#include "update/Updater.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

Bytes BytesOf(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

const Bytes kUpdater = BytesOf(
    "\x7F"
    "ELF the updater");

Bytes Package(const std::vector<ArchiveFile>& files) {
  const PackageBytes package = BuildUpgradePackage(kUpdater, files);
  EXPECT_TRUE(package.ok()) << package.error;
  return package.bytes;
}

// Records what the work reports; the main program's start is only recorded.
class Recorder final : public IUpdaterReport {
 public:
  void SetText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    texts_.push_back(text);
  }
  void EnterPhase(UpdaterPhase phase) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      phases_.push_back(phase);
    }
    if (onPhase) onPhase(phase);
  }
  bool StartMainProgram(const std::string& program, const std::string& folder) override {
    std::lock_guard<std::mutex> lock(mutex_);
    starts_.push_back(program + " in " + folder);
    return true;
  }
  std::vector<std::string> texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }
  std::vector<UpdaterPhase> phases() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return phases_;
  }
  std::vector<std::string> starts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return starts_;
  }

  std::function<void(UpdaterPhase)> onPhase;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::vector<UpdaterPhase> phases_;
  std::vector<std::string> starts_;
};

// Every entry of a folder tree: its bytes (or "<folder>") and its permission bits.
std::map<std::string, std::pair<std::string, unsigned>> TreeState(const std::string& root) {
  std::map<std::string, std::pair<std::string, unsigned>> state;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    state[fs::relative(entry.path(), root).string()] = {
        entry.is_directory() ? "<folder>" : test::ReadFileBytes(entry.path().string()),
        static_cast<unsigned>(info.st_mode & 07777)};
  }
  return state;
}

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// A program folder inside a temporary folder (so that a name leading out of it stays inside
// the test's own folder): an old PSPKVX and the package as "upgrade".
class UpdaterFolder {
 public:
  UpdaterFolder() {
    fs::create_directory(folder);
    Write("PSPKVX", "#!/bin/sh\necho old\n", 0750);
  }
  void Write(const std::string& name, const std::string& bytes, unsigned mode) const {
    test::WriteFileBytes(File(name), bytes);
    fs::permissions(File(name), static_cast<fs::perms>(mode));
  }
  void SetPackage(const Bytes& package) const {
    test::WriteFileBytes(File("upgrade"), std::string(package.begin(), package.end()));
  }
  std::string File(const std::string& name) const { return folder + "/" + name; }
  UpdaterResult Run(Recorder& report, std::chrono::milliseconds waitLimit = 10s) {
    ManualResetEvent stop;
    return Run(report, stop, waitLimit);
  }
  UpdaterResult Run(Recorder& report, ManualResetEvent& stop,
                    std::chrono::milliseconds waitLimit = 10s) {
    updater = std::make_unique<CUpdater>(*platform, UpdaterOptions{folder, waitLimit}, report);
    return updater->Run(stop);
  }
  std::string MainProgramStart() const { return File("PSPKVX") + " in " + folder; }

  test::TempDir dir;
  std::string folder = dir.File("program");
  std::unique_ptr<platform::Platform> platform = platform::CreateSystemPlatform();
  std::unique_ptr<CUpdater> updater;
};

// A copy of a real program runs as PSPKVX: its file cannot be opened for writing meanwhile.
class BusyMainProgram {
 public:
  BusyMainProgram(const std::string& path, const std::string& seconds) {
    fs::copy_file("/bin/sleep", path, fs::copy_options::overwrite_existing);
    child_ = std::make_unique<test::Child>(std::vector<std::string>{path, seconds});
    for (int i = 0;
         i < 500 && platform::ProbeWritableWithoutChange(path) != platform::WriteProbe::InUse; ++i)
      std::this_thread::sleep_for(10ms);
    EXPECT_EQ(platform::ProbeWritableWithoutChange(path), platform::WriteProbe::InUse);
  }
  std::unique_ptr<test::Child> child_;
};

TEST(Updater, EveryFileIsReplacedKeepingItsPermissionsAndPspkvxStartsAgain) {
  UpdaterFolder f;
  f.Write("data.txt", "old data", 0600);
  f.Write("other.txt", "not in the release", 0644);
  f.SetPackage(Package({{"PSPKVX", BytesOf("#!/bin/sh\necho new\n")},
                        {"data.txt", BytesOf("new data")},
                        {"newtool", BytesOf("\x7F"
                                            "ELF new tool")},
                        {"notes.txt", BytesOf("#notes")}}));
  Recorder report;
  const UpdaterResult result = f.Run(report);
  EXPECT_EQ(result.outcome, UpdaterOutcome::Updated) << result.reason;

  EXPECT_EQ(test::ReadFileBytes(f.File("PSPKVX")), "#!/bin/sh\necho new\n");
  EXPECT_EQ(test::ReadFileBytes(f.File("data.txt")), "new data");
  EXPECT_EQ(test::ReadFileBytes(f.File("other.txt")), "not in the release");
  EXPECT_EQ(ModeOf(f.File("PSPKVX")), 0750u);
  EXPECT_EQ(ModeOf(f.File("data.txt")), 0600u);
  EXPECT_EQ(ModeOf(f.File("newtool")), 0755u);    // a new program
  EXPECT_EQ(ModeOf(f.File("notes.txt")), 0644u);  // a new plain file
  // Nothing else is left in the folder: no temporary file of any name.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(f.folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"PSPKVX", "data.txt", "newtool", "notes.txt",
                                             "other.txt", "upgrade"}));

  EXPECT_EQ(report.texts(),
            (std::vector<std::string>{"", kUpdaterExtractingText, "Updated file: PSPKVX",
                                      "Updated file: data.txt", "Updated file: newtool",
                                      "Updated file: notes.txt", kUpdaterFinishedText}));
  EXPECT_EQ(report.phases(),
            (std::vector<UpdaterPhase>{UpdaterPhase::Waiting, UpdaterPhase::Extracting,
                                       UpdaterPhase::Writing}));
  EXPECT_EQ(report.starts(), std::vector<std::string>{f.MainProgramStart()});
}

TEST(Updater, ARefusedPackageReplacesNothingAndPspkvxStartsAgain) {
  Bytes truncated = Package({{"a.txt", BytesOf(std::string(2000, 'a'))}});
  truncated.erase(truncated.end() - 12, truncated.end() - 4);
  WriteLe32(truncated.data() + truncated.size() - 4,
            ReadLe32(truncated.data() + truncated.size() - 4) - 8);
  Bytes tooLong = Package({{"a.txt", BytesOf("new")}});
  WriteLe32(tooLong.data() + tooLong.size() - 4, static_cast<uint32_t>(tooLong.size()));
  const struct {
    const char* what;
    std::optional<Bytes> package;  // none: no package file at all
  } cases[] = {
      {"a name leading out of the folder",
       [] {
         Bytes archive = EncodeArchive(std::vector<ArchiveFile>{{"a.txt", BytesOf("new")}}).bytes;
         const Bytes evil = {4, 0, 0, 0, '.', '.', '/', 'x', 0, 'e', 'v', 'i', 'l'};
         archive.insert(archive.end(), evil.begin(), evil.end());
         return AssemblePackage(kUpdater, CompressPayload(archive).bytes);
       }()},
      {"a truncated stream", truncated},
      {"N larger than S-4", tooLong},
      {"a folder where a file would go",
       Package({{"a.txt", BytesOf("new")}, {"Dat", BytesOf("not a folder")}})},
      {"no package file", std::nullopt},
  };
  for (const auto& c : cases) {
    UpdaterFolder f;
    f.Write("a.txt", "old", 0644);
    fs::create_directory(f.File("Dat"));
    if (c.package) f.SetPackage(*c.package);
    const auto before = TreeState(f.dir.path());
    Recorder report;
    const UpdaterResult result = f.Run(report);
    EXPECT_EQ(result.outcome, UpdaterOutcome::Failed) << c.what;
    EXPECT_FALSE(result.reason.empty()) << c.what;
    EXPECT_EQ(TreeState(f.dir.path()), before) << c.what;
    ASSERT_FALSE(report.texts().empty());
    EXPECT_EQ(report.texts().back(), kUpdaterFailedText) << c.what;
    EXPECT_EQ(report.starts(), std::vector<std::string>{f.MainProgramStart()}) << c.what;
    const std::vector<UpdaterPhase> phases = report.phases();
    EXPECT_EQ(std::count(phases.begin(), phases.end(), UpdaterPhase::Writing), 0) << c.what;
  }
}

// Holds the size of files this process may write (a full disk, as far as the writes can tell).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_ = SIG_DFL;
};

TEST(Updater, AFailedWriteReplacesNothingAndLeavesNoTemporaryFile) {
  UpdaterFolder f;
  f.Write("a.txt", "old a", 0644);
  f.Write("b.bin", "old b", 0644);
  f.SetPackage(Package({{"a.txt", BytesOf("new a")}, {"b.bin", Bytes(256 * 1024, 7)}}));
  const auto before = TreeState(f.dir.path());
  Recorder report;
  UpdaterResult result;
  {
    const FileSizeLimit limit(64 * 1024);  // a.txt fits, b.bin does not
    result = f.Run(report);
  }
  EXPECT_EQ(result.outcome, UpdaterOutcome::Failed);
  EXPECT_EQ(TreeState(f.dir.path()), before);
  EXPECT_EQ(report.texts().back(), kUpdaterFailedText);
  EXPECT_EQ(report.starts(), std::vector<std::string>{f.MainProgramStart()});
}

TEST(Updater, PspkvxStillRunningPastTheWaitLimitMeansNothingReplacedAndNoSecondStart) {
  UpdaterFolder f;
  f.Write("a.txt", "old", 0644);
  f.SetPackage(Package({{"a.txt", BytesOf("new")}, {"PSPKVX", BytesOf("new program")}}));
  const BusyMainProgram running(f.File("PSPKVX"), "30");
  const auto before = TreeState(f.dir.path());
  Recorder report;
  const UpdaterResult result = f.Run(report, 300ms);
  EXPECT_EQ(result.outcome, UpdaterOutcome::StillRunning);
  EXPECT_EQ(TreeState(f.dir.path()), before);  // the probe did not change PSPKVX either
  EXPECT_EQ(report.texts(), (std::vector<std::string>{"", kUpdaterFailedText}));
  EXPECT_TRUE(report.starts().empty());
}

TEST(Updater, TheWaitEndsWhenPspkvxEnds) {
  UpdaterFolder f;
  f.SetPackage(Package({{"PSPKVX", BytesOf("new program")}}));
  const BusyMainProgram running(f.File("PSPKVX"), "1");
  Recorder report;
  const UpdaterResult result = f.Run(report, 30s);
  EXPECT_EQ(result.outcome, UpdaterOutcome::Updated) << result.reason;
  EXPECT_EQ(test::ReadFileBytes(f.File("PSPKVX")), "new program");
  EXPECT_EQ(report.starts(), std::vector<std::string>{f.MainProgramStart()});
}

TEST(Updater, AStopWhileWaitingEndsTheWaitAndReplacesNothing) {
  UpdaterFolder f;
  f.Write("a.txt", "old", 0644);
  f.SetPackage(Package({{"a.txt", BytesOf("new")}}));
  const BusyMainProgram running(f.File("PSPKVX"), "30");
  const auto before = TreeState(f.dir.path());
  Recorder report;
  ManualResetEvent stop;
  ManualResetEvent waiting;
  report.onPhase = [&](UpdaterPhase phase) {
    if (phase == UpdaterPhase::Waiting) waiting.Set();
  };
  UpdaterResult result;
  f.updater = std::make_unique<CUpdater>(*f.platform, UpdaterOptions{f.folder, 60s}, report);
  std::thread worker([&] { result = f.updater->Run(stop); });
  ASSERT_TRUE(waiting.WaitFor(10s));
  EXPECT_TRUE(f.updater->RequestStop(stop));
  worker.join();
  EXPECT_EQ(result.outcome, UpdaterOutcome::Stopped);
  EXPECT_EQ(TreeState(f.dir.path()), before);
  EXPECT_TRUE(report.starts().empty());  // PSPKVX still runs
}

TEST(Updater, AStopIsTakenUntilWritingBeginsAndRefusedFromThenOn) {
  const struct {
    UpdaterPhase stopIn;
    bool stopTaken;
    UpdaterOutcome outcome;
    size_t starts;  // PSPKVX is started again once it has ended, never twice
  } cases[] = {
      {UpdaterPhase::Waiting, true, UpdaterOutcome::Stopped, 0},
      {UpdaterPhase::Extracting, true, UpdaterOutcome::Stopped, 1},
      {UpdaterPhase::Writing, false, UpdaterOutcome::Updated, 1},
  };
  for (const auto& c : cases) {
    UpdaterFolder f;
    f.Write("a.txt", "old", 0644);
    f.SetPackage(Package({{"a.txt", BytesOf("new")}}));
    Recorder report;
    ManualResetEvent stop;
    std::optional<bool> taken;
    report.onPhase = [&](UpdaterPhase phase) {
      if (phase == c.stopIn) taken = f.updater->RequestStop(stop);
    };
    const UpdaterResult result = f.Run(report, stop);
    EXPECT_EQ(taken, c.stopTaken) << int(c.stopIn);
    EXPECT_EQ(result.outcome, c.outcome) << int(c.stopIn);
    EXPECT_EQ(report.starts().size(), c.starts) << int(c.stopIn);
    EXPECT_EQ(test::ReadFileBytes(f.File("a.txt")), c.stopTaken ? "old" : "new") << int(c.stopIn);
  }
}

}  // namespace
}  // namespace pspkvx
