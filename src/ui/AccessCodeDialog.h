#pragma once
// The access-code window `Saisie_Code`: the code for the level asked for in
// the "&Level" menu. Master codes show as "X".
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/Core.h"

namespace oxalis {

class AccessCodeDialog : public QDialog {
  Q_OBJECT
 public:
  AccessCodeDialog(Core& core, QWidget* parent);
  QLineEdit* codeBox() const { return code_; }
  QPushButton* enterButton() const { return enter_; }
  QPushButton* cancelButton() const { return cancel_; }
  // The body line with the module's user code, as in the caption (a title
  // bar may be too short to show it).
  QLabel* userCodeLabel() const { return userCode_; }

 protected:
  void reject() override;

 private:
  void render();

  Core& core_;
  QLabel* userCode_ = nullptr;
  QLineEdit* code_ = nullptr;
  QPushButton* enter_ = nullptr;
  QPushButton* cancel_ = nullptr;
  Subscription subscription_;
};

}  // namespace oxalis
