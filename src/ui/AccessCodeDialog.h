#pragma once
// The access-code window `Saisie_Code`: the code for the level asked for in
// the "&Level" menu. Master codes show as "X".
#include <QDialog>
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

 protected:
  void reject() override;

 private:
  void render();

  Core& core_;
  QLineEdit* code_ = nullptr;
  QPushButton* enter_ = nullptr;
  Subscription subscription_;
};

}  // namespace oxalis
