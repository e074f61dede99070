// The updater's work, as the program "upgrade" does it on its worker: wait until PSPKVX has
// ended, take the release's files out of the updater's own package, check them all, replace the
// files of its folder and start PSPKVX again. GUI-free: the dialog (upgrade/) and the tests drive
// it through IUpdaterReport.
//
// Nothing is replaced unless the whole archive is sound, and every new file is written under a
// temporary name before the first old one is replaced, so a refused package or a full disk leaves
// the folder as it was; each file is renamed into place, so a crash leaves it old or new.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "base/ManualResetEvent.h"
#include "platform/Platform.h"
#include "update/UpgradePackage.h"

namespace pspkvx {

// The dialog's caption and texts.
inline constexpr char kUpdaterCaption[] = "PSP KVX Updater";
inline constexpr char kUpdaterInitialText[] = "Finished";
inline constexpr char kUpdaterExtractingText[] = "Extracting updated files...";
inline constexpr char kUpdaterFileTextPrefix[] = "Updated file: ";
inline constexpr char kUpdaterFinishedText[] = "Finished!";
inline constexpr char kUpdaterFailedText[] = "Error, upgrade failed. Sorry!";

enum class UpdaterPhase {
  Waiting,     // for the main program's file to become writable
  Extracting,  // reading, decompressing and checking the package
  Writing,     // replacing files: from here on the work runs to its end
};

enum class UpdaterOutcome {
  Updated,       // every file replaced; PSPKVX started again
  Failed,        // refused package or failed write; PSPKVX started again
  StillRunning,  // PSPKVX did not end within the wait limit: nothing replaced or started
  Stopped,       // stopped before writing: nothing replaced; PSPKVX started only if it had ended
};

struct UpdaterResult {
  UpdaterOutcome outcome = UpdaterOutcome::Failed;
  std::string reason;  // why it failed or stopped, in words; empty when updated
};

// What the work reports, called on the worker's thread.
class IUpdaterReport {
 public:
  virtual ~IUpdaterReport() = default;
  // The dialog's text.
  virtual void SetText(const std::string& text) = 0;
  virtual void EnterPhase(UpdaterPhase phase) { (void)phase; }
  // Starts the main program again, left to run on its own: by default detached
  // (platform::StartDetachedProgram), no arguments, the folder its working folder. The result is
  // only reported, never waited for.
  virtual bool StartMainProgram(const std::string& program, const std::string& folder);
};

struct UpdaterOptions {
  std::string folder;  // the updater's own folder: its package, PSPKVX, the files replaced
  std::chrono::milliseconds waitLimit = std::chrono::minutes(1);
  std::chrono::milliseconds retryPause = std::chrono::milliseconds(100);
  uint64_t maxArchiveBytes = kMaxArchiveBytes;
};

class CUpdater {
 public:
  CUpdater(platform::Platform& platform, UpdaterOptions options, IUpdaterReport& report);

  // Every step, in order; stop is polled until writing begins (the worker's stop event).
  UpdaterResult Run(const ManualResetEvent& stop);

  // From another thread (the dialog being closed): sets stop unless writing has begun. True
  // when the stop was taken; false when files are being or have been written and the work is to
  // run to its end. The one decision between a close and the first replaced file.
  bool RequestStop(ManualResetEvent& stop);

 private:
  enum class Wait { Ended, TimedOut, Stopped };
  Wait WaitForMainProgram(const ManualResetEvent& stop);
  bool BeginWriting(const ManualResetEvent& stop);
  UpdaterResult WriteFiles(const ArchiveReading& reading);
  UpdaterResult Fail(const std::string& reason);
  UpdaterResult StoppedAfterEnd(const std::string& reason);
  void StartMainProgram();

  platform::Platform& platform_;
  UpdaterOptions options_;
  IUpdaterReport& report_;
  std::mutex gate_;
  bool writing_ = false;
};

}  // namespace pspkvx
