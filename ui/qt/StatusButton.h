// The PSP status button: a skinned button showing the connection icon. Its face index is the
// animation phase (1 to 3) the window steps on its timer while searching.
#pragma once

#include "ui/qt/SkinButton.h"

namespace pspkvx {

class StatusButton : public SkinButton {
  Q_OBJECT
 public:
  explicit StatusButton(int controlId, QWidget* parent = nullptr);

  // 1..3; other values are held to that range.
  void SetPhase(int phase);
  int Phase() const;
  void SetConnected(bool connected);
  bool Connected() const { return connected_; }

  QSize sizeHint() const override { return {72, 40}; }

 protected:
  void Paint(QPainter& painter) override;

 private:
  bool connected_ = false;
};

}  // namespace pspkvx
