// The options dialog's logic over the configuration record, GUI-free. Constructing the model
// initialises the dialog: it reads the two boxes and the drive letter from the record and sets
// OnlineRegion to 3 (all regions), remembering that value for OK.
//
// The spin control changes PspDriveLetter at once, so the letter stays changed whatever way
// the dialog closes. OK stores the boxes and the remembered region and writes the record;
// Cancel and "Check For Updates Now" store nothing more. The update check itself is the
// caller's, after the dialog has closed.
//
// SearchForPsp and PspDriveLetter are read and written through std::atomic_ref, as the PSP
// detection thread reads them while the dialog is open.
#pragma once

#include <string>

namespace pspkvx {

struct AppConfig;

// How the options dialog was closed.
enum class OptionsOutcome { Cancelled, Accepted, CheckForUpdates };

class OptionsModel {
 public:
  explicit OptionsModel(AppConfig& config);

  // "Do not search for the PSP. My PSP is on the following drive:"
  bool FixedDrive() const { return fixedDrive_; }
  void SetFixedDrive(bool ticked) { fixedDrive_ = ticked; }
  // "Automattically check for updates when program starts."
  bool CheckAtStart() const { return checkAtStart_; }
  void SetCheckAtStart(bool ticked) { checkAtStart_ = ticked; }

  // The drive letter shown beside "Drive Letter:".
  char DriveLetter() const;
  // Moves the letter by steps (up is the next letter) within D..Z, wrapping at both ends, and
  // stores it in the record at once. A letter outside D..Z counts as D.
  void Spin(int steps);

  // "Current version is 1.15" and the line that follows it.
  std::string VersionText() const;

  // OK: stores the boxes and the region and writes the record into programFolder.
  // ConfigSaved() tells whether the write succeeded.
  OptionsOutcome Accept(const std::string& programFolder);
  OptionsOutcome Cancel() { return OptionsOutcome::Cancelled; }
  OptionsOutcome CheckForUpdatesNow() { return OptionsOutcome::CheckForUpdates; }
  bool ConfigSaved() const { return saved_; }

 private:
  AppConfig& config_;
  bool fixedDrive_;
  bool checkAtStart_;
  int region_;
  bool saved_ = false;
};

}  // namespace pspkvx
