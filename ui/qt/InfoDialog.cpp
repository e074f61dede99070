#include "ui/qt/InfoDialog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "base/StringTable.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinColour.h"
#include "ui/qt/SkinFrame.h"

namespace pspkvx {

InfoDialog::InfoDialog(const std::string& text, QWidget* parent) : QDialog(parent) {
  setObjectName("InfoDialog");
  setWindowTitle(QString::fromUtf8(StringText(IDS_APP_TITLE)));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, SkinColour(kDialogFace));
  setPalette(palette);
  setAutoFillBackground(true);
  resize(440, 380);

  // The skinned face: borderless, shaped, moved by a press on the face.
  const bool skinned = (new SkinFrame(*this, SmallDialogStyle()))->Loaded();
  auto* layout = new QVBoxLayout(this);
  if (skinned) layout->setContentsMargins(16, 18, 16, 14);
  auto* view = new QPlainTextEdit(this);
  view->setObjectName("InfoText");
  view->setReadOnly(true);
  QFont font("Arial");
  font.setPixelSize(14);
  font.setWeight(QFont::Normal);
  view->setFont(font);
  view->setPlainText(QString::fromStdString(text).replace("\r\n", "\n"));
  layout->addWidget(view);

  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* ok = new SkinButton(1, "OK", this);
  ok->setObjectName("OkButton");
  ok->setFixedSize(90, 24);
  ok->setDefault(true);
  connect(ok, &SkinButton::Command, this, &QDialog::accept);
  row->addWidget(ok);
  row->addStretch();
  layout->addLayout(row);
  ok->setFocus();
}

}  // namespace pspkvx
