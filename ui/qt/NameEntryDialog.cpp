#include "ui/qt/NameEntryDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QValidator>

#include "base/StringTable.h"
#include "ui/NameEntry.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinColour.h"
#include "ui/qt/SkinFrame.h"

namespace pspkvx {
namespace {

// Applies NameEntryAccepts to every edit: it keeps the text as it was before the edit. The text
// it starts from is set before the edit's first text, so the proposed name counts as valid.
class NameValidator : public QValidator {
 public:
  NameValidator(const QString& initial, QObject* parent)
      : QValidator(parent), current_(initial.toStdString()) {}

  State validate(QString& input, int&) const override {
    return NameEntryAccepts(current_, input.toStdString()) ? Acceptable : Invalid;
  }
  void Taken(const QString& text) { current_ = text.toStdString(); }

 private:
  std::string current_;
};

}  // namespace

NameEntryDialog::NameEntryDialog(const std::string& prompt, const std::string& initialName,
                                 QWidget* parent)
    : QDialog(parent) {
  setObjectName("NameEntryDialog");
  setWindowTitle(QString::fromUtf8(StringText(IDS_APP_TITLE)));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, SkinColour(kDialogFace));
  palette.setColor(QPalette::WindowText, SkinColour(kDialogText));
  setPalette(palette);
  setAutoFillBackground(true);
  setMinimumWidth(360);

  // The skinned face: borderless, shaped, moved by a press on the face.
  const bool skinned = (new SkinFrame(*this, SmallDialogStyle()))->Loaded();
  auto* layout = new QVBoxLayout(this);
  if (skinned) layout->setContentsMargins(16, 18, 16, 14);
  auto* promptText = new QLabel(QString::fromStdString(prompt), this);
  promptText->setObjectName("PromptText");
  QFont bold("Arial");
  bold.setPixelSize(13);
  bold.setWeight(QFont::Bold);
  promptText->setFont(bold);
  promptText->setWordWrap(true);
  layout->addWidget(promptText);

  const QString initial = QString::fromStdString(initialName);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("NameEdit");
  auto* validator = new NameValidator(initial, edit_);
  edit_->setValidator(validator);
  edit_->setText(initial);
  connect(edit_, &QLineEdit::textChanged, validator, &NameValidator::Taken);
  layout->addWidget(edit_);

  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* ok = new SkinButton(1, "OK", this);
  ok->setObjectName("OkButton");
  ok->setDefault(true);
  connect(ok, &SkinButton::Command, this, &QDialog::accept);
  auto* cancel = new SkinButton(2, "Cancel", this);
  cancel->setObjectName("CancelButton");
  connect(cancel, &SkinButton::Command, this, &QDialog::reject);
  for (SkinButton* button : {ok, cancel}) {
    button->setFixedSize(90, 24);
    row->addWidget(button);
  }
  layout->addLayout(row);
}

void NameEntryDialog::setVisible(bool visible) {
  if (visible) edit_->setFocus();
  QDialog::setVisible(visible);
  // Showing a dialog hands its focus widget a Tab focus, which selects all of an edit's text; the
  // caret goes to the end of the name instead, nothing selected.
  if (visible) edit_->end(false);
}

std::string NameEntryDialog::Run() {
  return exec() == Accepted ? edit_->text().toStdString() : std::string();
}

}  // namespace pspkvx
