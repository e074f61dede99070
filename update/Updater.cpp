#include "update/Updater.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/FileRead.h"
#include "platform/ChildProcess.h"

namespace pspkvx {
namespace {

// The package is the updater plus a payload of at most 4 GiB; in practice far less. A larger file
// is not a package this updater made.
constexpr uint64_t kMaxPackageBytes = uint64_t(1) << 30;

// A new file that is a program (an ELF file or a script) is made executable; anything else gets
// the plain file's rw-r--r--.
bool LooksLikeProgram(std::span<const uint8_t> bytes) {
  const auto startsWith = [&](std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin(),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
  };
  return startsWith(
             "\x7F"
             "ELF") ||
         startsWith("#!");
}

std::string Seconds(std::chrono::milliseconds time) {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(time).count());
}

}  // namespace

bool IUpdaterReport::StartMainProgram(const std::string& program, const std::string& folder) {
  return platform::StartDetachedProgram(program, {}, folder);
}

CUpdater::CUpdater(platform::Platform& platform, UpdaterOptions options, IUpdaterReport& report)
    : platform_(platform), options_(std::move(options)), report_(report) {}

bool CUpdater::RequestStop(ManualResetEvent& stop) {
  std::lock_guard<std::mutex> lock(gate_);
  if (writing_) return false;
  stop.Set();
  return true;
}

bool CUpdater::BeginWriting(const ManualResetEvent& stop) {
  std::lock_guard<std::mutex> lock(gate_);
  if (stop.IsSet()) return false;
  writing_ = true;
  return true;
}

CUpdater::Wait CUpdater::WaitForMainProgram(const ManualResetEvent& stop) {
  const std::string program = platform::JoinPath(options_.folder, kMainProgramName);
  const auto deadline = std::chrono::steady_clock::now() + options_.waitLimit;
  for (;;) {
    if (stop.IsSet()) return Wait::Stopped;
    // Only a file held by a running program means "still running"; a missing file or one that
    // cannot be opened for another reason will not change by waiting, and is replaced by a
    // rename, which needs no write access to the file itself.
    if (platform::ProbeWritableWithoutChange(program) != platform::WriteProbe::InUse)
      return Wait::Ended;
    if (std::chrono::steady_clock::now() >= deadline) return Wait::TimedOut;
    if (stop.WaitFor(options_.retryPause)) return Wait::Stopped;
  }
}

void CUpdater::StartMainProgram() {
  report_.StartMainProgram(platform::JoinPath(options_.folder, kMainProgramName), options_.folder);
}

UpdaterResult CUpdater::Fail(const std::string& reason) {
  report_.SetText(kUpdaterFailedText);
  StartMainProgram();
  return {UpdaterOutcome::Failed, reason};
}

UpdaterResult CUpdater::StoppedAfterEnd(const std::string& reason) {
  // PSPKVX has ended and nothing was replaced: it comes back as it was.
  StartMainProgram();
  return {UpdaterOutcome::Stopped, reason};
}

UpdaterResult CUpdater::Run(const ManualResetEvent& stop) {
  report_.SetText("");
  report_.EnterPhase(UpdaterPhase::Waiting);
  switch (WaitForMainProgram(stop)) {
    case Wait::Stopped:
      return {UpdaterOutcome::Stopped, "stopped while waiting for PSPKVX to end"};
    case Wait::TimedOut:
      // PSPKVX still runs: starting it again would make a second one.
      report_.SetText(kUpdaterFailedText);
      return {UpdaterOutcome::StillRunning,
              "PSPKVX did not end within " + Seconds(options_.waitLimit) + " s"};
    case Wait::Ended:
      break;
  }

  report_.SetText(kUpdaterExtractingText);
  report_.EnterPhase(UpdaterPhase::Extracting);
  ArchiveReading reading;
  {
    const WholeFile package =
        ReadWholeFile(platform::JoinPath(options_.folder, kUpgradeProgramName), kMaxPackageBytes);
    if (!package.ok()) return Fail(package.error);
    reading = ReadUpgradePackage(package.bytes, options_.maxArchiveBytes);
  }
  if (!reading.ok()) return Fail("the package is refused: " + reading.reason);
  if (stop.IsSet()) return StoppedAfterEnd("stopped before any file was written");

  // A file is only ever replaced by a file: a folder or anything else of the name stays.
  for (const ArchiveEntry& entry : reading.entries) {
    const auto status = platform_.QueryPath(platform::JoinPath(options_.folder, entry.name));
    if (status && status->kind != platform::PathKind::File)
      return Fail("\"" + entry.name + "\" in the folder is not a plain file");
  }

  if (!BeginWriting(stop)) return StoppedAfterEnd("stopped before any file was written");
  report_.EnterPhase(UpdaterPhase::Writing);
  UpdaterResult written = WriteFiles(reading);
  if (written.outcome != UpdaterOutcome::Updated) return Fail(written.reason);
  report_.SetText(kUpdaterFinishedText);
  StartMainProgram();
  return written;
}

UpdaterResult CUpdater::WriteFiles(const ArchiveReading& reading) {
  // Every new file first, beside the old one; only then the renames.
  std::vector<std::string> temporaries;
  for (const ArchiveEntry& entry : reading.entries) {
    const std::string path = platform::JoinPath(options_.folder, entry.name);
    const std::span<const uint8_t> bytes = reading.DataOf(entry);
    const bool isNew = !platform_.QueryPath(path);
    const platform::FileAccess access = isNew && LooksLikeProgram(bytes)
                                            ? platform::FileAccess::Program
                                            : platform::FileAccess::Kept;
    const std::optional<std::string> temporary =
        platform::WriteFileBeside(path, bytes.data(), bytes.size(), access);
    if (!temporary) {
      for (const std::string& written : temporaries)
        platform_.RemoveFile(written);
      return {UpdaterOutcome::Failed, "cannot write \"" + entry.name + "\" into the folder"};
    }
    temporaries.push_back(*temporary);
  }
  // A rename that fails leaves that file old; the others still become new.
  std::string failed;
  for (size_t i = 0; i < reading.entries.size(); ++i) {
    const std::string& name = reading.entries[i].name;
    if (platform::PutFileInPlace(temporaries[i], platform::JoinPath(options_.folder, name))) {
      report_.SetText(kUpdaterFileTextPrefix + name);
    } else {
      platform_.RemoveFile(temporaries[i]);
      if (failed.empty()) failed = "cannot replace \"" + name + "\"";
    }
  }
  if (!failed.empty()) return {UpdaterOutcome::Failed, failed};
  return {UpdaterOutcome::Updated, ""};
}

}  // namespace pspkvx
