#include "AccessCodeDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/UserLevel.h"

namespace oxalis {

AccessCodeDialog::AccessCodeDialog(Core& core, QWidget* parent) : QDialog(parent), core_(core) {
  setObjectName("Saisie_Code");
  setModal(true);
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel("Access code:", this));
  auto* row = new QHBoxLayout;
  code_ = new QLineEdit(this);
  code_->setObjectName("Code");
  code_->setMinimumWidth(180);
  enter_ = new QPushButton("Enter", this);
  enter_->setObjectName("Valide_Code");
  enter_->setDefault(true);
  row->addWidget(code_);
  row->addWidget(enter_);
  column->addLayout(row);

  const auto validate = [this] {
    const std::string typed = code_->text().toStdString();
    validateLevelCode(core_, typed);
    done(QDialog::Accepted);
  };
  connect(enter_, &QPushButton::clicked, this, validate);
  connect(code_, &QLineEdit::returnPressed, this, validate);

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
  setWindowTitle(QString::fromStdString(model.caption));
  if (model.masked) {
    code_->setEchoMode(QLineEdit::Password);
    code_->setStyleSheet("lineedit-password-character: 88");  // "X"
  } else {
    code_->setEchoMode(QLineEdit::Normal);
    code_->setStyleSheet(QString());
  }
}

}  // namespace oxalis
