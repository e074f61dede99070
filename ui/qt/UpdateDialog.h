// The update dialog's face: the text 1007, the progress bar drawn in the place of control 1100
// with its "%iK of %iK" text, and the Cancel button 2 that becomes "OK". The logic
// (CUpdateCheckDlg) calls it from its worker; every call is carried over to the window thread.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <string>

#include "ui/UpdateCheckDlg.h"

class QLabel;

namespace pspkvx {

class SkinButton;

class UpdateDialog : public QDialog, public IUpdateDialogView {
  Q_OBJECT
 public:
  UpdateDialog(CUpdateCheckDlg& logic, QWidget* parent = nullptr);
  ~UpdateDialog() override;

  // Runs the dialog until the logic ends it.
  void Run();

  // IUpdateDialogView: any thread.
  void SetText(const std::string& text) override;
  void SetOkFaces() override;
  void SetProgress(double percent, const std::string& text) override;
  void EndDialog(int result) override;

  QString Text() const;
  QString ProgressText() const { return progressText_; }
  double Percent() const { return percent_; }
  QString ButtonLabel() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Escape and the window's close button act as the Cancel button.
  void reject() override;

 private:
  CUpdateCheckDlg& logic_;
  QLabel* text_ = nullptr;
  SkinButton* cancel_ = nullptr;
  QRect progressRect_;   // where control 1100 would be
  double percent_ = -1;  // below 0: no bar yet
  QString progressText_;
};

}  // namespace pspkvx
