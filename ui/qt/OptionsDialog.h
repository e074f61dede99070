// The options dialog over an OptionsModel: the two check boxes, the drive letter with its spin
// control (applied at once), the version text and "Check For Updates Now" in the "Updates"
// group, OK and Cancel. Run() says how it was closed; OK stores through the model and writes
// the record into the program folder. For CheckForUpdates the caller runs the check after the
// dialog has closed.
#pragma once

#include <QDialog>
#include <string>

#include "ui/OptionsModel.h"

class QAbstractSpinBox;
class QCheckBox;

namespace pspkvx {

class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  OptionsDialog(OptionsModel& model, std::string programFolder, QWidget* parent = nullptr);

  OptionsOutcome Run();

  // The control ids of the dialog's buttons.
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 4;
  static constexpr int kCheckNowId = 1091;

 protected:
  void reject() override;

 private:
  void Close(OptionsOutcome outcome);

  OptionsModel& model_;
  std::string programFolder_;
  QCheckBox* checkAtStart_;
  QCheckBox* fixedDrive_;
  OptionsOutcome outcome_ = OptionsOutcome::Cancelled;
};

}  // namespace pspkvx
