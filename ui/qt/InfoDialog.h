// A read-only text and OK: the PSP connection guide (PspConnectionGuide()) and the like.
#pragma once

#include <QDialog>
#include <string>

namespace pspkvx {

class InfoDialog : public QDialog {
  Q_OBJECT
 public:
  explicit InfoDialog(const std::string& text, QWidget* parent = nullptr);

  void Run() { exec(); }
};

}  // namespace pspkvx
