#include "AccessCodeDialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "QtConvert.h"
#include "app/UserLevel.h"

namespace oxalis {

AccessCodeDialog::AccessCodeDialog(Core& core, QWidget* parent) : QDialog(parent), core_(core) {
  setObjectName("Saisie_Code");
  setModal(true);
  auto* column = new QVBoxLayout(this);
  userCode_ = new QLabel(this);
  userCode_->setObjectName("UserCodeId");
  userCode_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(userCode_);
  column->addWidget(new QLabel("Access code:", this));
  auto* row = new QHBoxLayout;
  code_ = new QLineEdit(this);
  code_->setObjectName("Code");
  code_->setMinimumWidth(180);
  enter_ = new QPushButton("Enter", this);
  enter_->setObjectName("Valide_Code");
  enter_->setDefault(true);
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("Cancel");
  cancel_->setAutoDefault(false);
  row->addWidget(code_);
  row->addWidget(enter_);
  row->addWidget(cancel_);
  column->addLayout(row);

  connect(code_, &QLineEdit::textEdited, this,
          [this](const QString& text) { core_.accessCode.code = text.toStdString(); });
  const auto validate = [this] {
    const std::string typed = code_->text().toStdString();
    if (validateLevelCode(core_, typed)) {
      done(QDialog::Accepted);
    } else {
      code_->setFocus();
    }
  };
  connect(enter_, &QPushButton::clicked, this, validate);
  connect(code_, &QLineEdit::returnPressed, this, validate);
  connect(cancel_, &QPushButton::clicked, this, &AccessCodeDialog::reject);

  subscription_ = core_.accessCode.changed.subscribe([this] { render(); });
  render();
  code_->setFocus();
}

void AccessCodeDialog::reject() {
  cancelLevelCode(core_);
  QDialog::reject();
}

void AccessCodeDialog::render() {
  const AccessCodeModel& model = core_.accessCode;
  setWindowTitle(qs(model.caption));
  userCode_->setText(qs(model.caption));
  if (code_->text() != qs(model.code)) code_->setText(qs(model.code));
  if (model.masked) {
    code_->setEchoMode(QLineEdit::Password);
    code_->setStyleSheet("lineedit-password-character: 88");  // "X"
  } else {
    code_->setEchoMode(QLineEdit::Normal);
    code_->setStyleSheet(QString());
  }
}

}  // namespace oxalis
