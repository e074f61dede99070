// The program's message box: the text and the button set of its type.
#pragma once

#include <QDialog>

#include "base/MessageBox.h"

class QLabel;

namespace pspkvx {

class MessageBoxDialog : public QDialog {
  Q_OBJECT
 public:
  MessageBoxDialog(QWidget* parent, const MessageBoxRequest& request);

  // Runs modally and returns the pressed button's result; closing the box counts as its
  // last button (Cancel or No), or OK for a box with one button.
  int Run();

 protected:
  void reject() override;

 private:
  int closeResult_;
};

}  // namespace pspkvx
