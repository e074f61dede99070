#include "ui/qt/MessageBoxDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/StringTable.h"

namespace pspkvx {

MessageBoxDialog::MessageBoxDialog(QWidget* parent, const MessageBoxRequest& request)
    : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(StringText(IDS_APP_TITLE)));
  setObjectName("MessageBox");
  const MessageBoxButtonSet set = ButtonSetForType(request.type);
  closeResult_ = set.results[set.count - 1];

  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(QString::fromUtf8(request.text.c_str()).replace("\r\n", "\n"), this);
  text->setObjectName("MessageText");
  text->setWordWrap(true);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  text->setMinimumWidth(360);
  layout->addWidget(text);

  auto* row = new QHBoxLayout;
  row->addStretch();
  for (int i = 0; i < set.count; ++i) {
    const std::string label =
        request.labels[i] ? StringText(request.labels[i]) : DefaultButtonLabel(request.type, i);
    auto* button = new QPushButton(QString::fromUtf8(label.c_str()), this);
    button->setObjectName(QString("Button%1").arg(i + 1));
    button->setAutoDefault(false);
    const int result = set.results[i];
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    row->addWidget(button);
    if (i == 0) button->setFocus();
  }
  row->addStretch();
  layout->addLayout(row);
}

int MessageBoxDialog::Run() {
  return exec();
}

void MessageBoxDialog::reject() {
  done(closeResult_);
}

}  // namespace pspkvx
