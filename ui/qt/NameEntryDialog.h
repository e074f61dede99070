// The name-entry dialog: a prompt, an edit field holding the proposed name under the NameEntry
// rule (33 typed characters; a longer proposed name stays whole), OK and Cancel. Enter acts as
// OK. Run() gives the name on OK and an empty text on Cancel.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace pspkvx {

class NameEntryDialog : public QDialog {
  Q_OBJECT
 public:
  NameEntryDialog(const std::string& prompt, const std::string& initialName,
                  QWidget* parent = nullptr);

  std::string Run();
  void setVisible(bool visible) override;

 private:
  QLineEdit* edit_;
};

}  // namespace pspkvx
