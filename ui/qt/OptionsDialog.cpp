#include "ui/qt/OptionsDialog.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <functional>

#include "base/StringTable.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinColour.h"
#include "ui/qt/SkinFrame.h"

namespace pspkvx {
namespace {

// The drive-letter spin control: it shows the letter and moves it through the model.
class LetterSpin : public QAbstractSpinBox {
 public:
  LetterSpin(OptionsModel& model, QWidget* parent) : QAbstractSpinBox(parent), model_(model) {
    setObjectName("DriveLetterSpin");
    lineEdit()->setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setFixedWidth(fontMetrics().horizontalAdvance("WW") + 36);
    Show();
  }

  void stepBy(int steps) override {
    model_.Spin(steps);
    Show();
  }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  void Show() { lineEdit()->setText(QString(QChar::fromLatin1(model_.DriveLetter()))); }

  OptionsModel& model_;
};

}  // namespace

OptionsDialog::OptionsDialog(OptionsModel& model, std::string programFolder, QWidget* parent)
    : QDialog(parent), model_(model), programFolder_(std::move(programFolder)) {
  setObjectName("OptionsDialog");
  setWindowTitle("Options");
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, SkinColour(kDialogFace));
  palette.setColor(QPalette::WindowText, SkinColour(kDialogText));
  setPalette(palette);
  setAutoFillBackground(true);

  // The skinned face: borderless, shaped, moved by a press on the face.
  const bool skinned = (new SkinFrame(*this, SmallDialogStyle()))->Loaded();
  auto* layout = new QVBoxLayout(this);
  if (skinned) layout->setContentsMargins(16, 18, 16, 14);

  fixedDrive_ = new QCheckBox("Do not search for the PSP. My PSP is on the following drive:", this);
  fixedDrive_->setObjectName("FixedDriveBox");
  fixedDrive_->setChecked(model_.FixedDrive());
  connect(fixedDrive_, &QCheckBox::toggled, this, [this](bool on) { model_.SetFixedDrive(on); });
  layout->addWidget(fixedDrive_);
  auto* letterRow = new QHBoxLayout;
  letterRow->addSpacing(24);
  letterRow->addWidget(new QLabel("Drive Letter:", this));
  letterRow->addWidget(new LetterSpin(model_, this));
  letterRow->addStretch();
  layout->addLayout(letterRow);

  auto* updates = new QGroupBox("Updates", this);
  auto* updatesLayout = new QVBoxLayout(updates);
  auto* version =
      new QLabel(QString::fromStdString(model_.VersionText()).replace("\r\n", "\n"), updates);
  version->setObjectName("VersionText");
  version->setWordWrap(true);
  updatesLayout->addWidget(version);
  auto* checkNow = new SkinButton(kCheckNowId, "Check For Updates Now", updates);
  checkNow->setObjectName("CheckNowButton");
  connect(checkNow, &SkinButton::Command, this, [this] { Close(model_.CheckForUpdatesNow()); });
  auto* checkRow = new QHBoxLayout;
  checkRow->addWidget(checkNow);
  checkRow->addStretch();
  updatesLayout->addLayout(checkRow);
  checkAtStart_ = new QCheckBox("Automattically check for updates when program starts.", updates);
  checkAtStart_->setObjectName("CheckAtStartBox");
  checkAtStart_->setChecked(model_.CheckAtStart());
  connect(checkAtStart_, &QCheckBox::toggled, this,
          [this](bool on) { model_.SetCheckAtStart(on); });
  updatesLayout->addWidget(checkAtStart_);
  layout->addWidget(updates);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* ok = new SkinButton(kOkId, "OK", this);
  ok->setObjectName("OkButton");
  ok->setDefault(true);
  connect(ok, &SkinButton::Command, this, [this] { Close(model_.Accept(programFolder_)); });
  auto* cancel = new SkinButton(kCancelId, "Cancel", this);
  cancel->setObjectName("CancelButton");
  connect(cancel, &SkinButton::Command, this, [this] { reject(); });
  for (SkinButton* button : {ok, cancel}) {
    button->setFixedSize(90, 24);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  ok->setFocus();
}

void OptionsDialog::Close(OptionsOutcome outcome) {
  outcome_ = outcome;
  done(outcome == OptionsOutcome::Cancelled ? Rejected : Accepted);
}

void OptionsDialog::reject() {
  Close(model_.Cancel());
}

OptionsOutcome OptionsDialog::Run() {
  outcome_ = OptionsOutcome::Cancelled;
  exec();
  return outcome_;
}

}  // namespace pspkvx
