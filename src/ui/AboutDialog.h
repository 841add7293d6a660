#pragma once
// The about box `F_About`: the program and its version history.
#include <QDialog>
#include <QPlainTextEdit>

namespace oxalis {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent);
  QPlainTextEdit* releaseNote() const { return releaseNote_; }

 private:
  QPlainTextEdit* releaseNote_ = nullptr;
};

}  // namespace oxalis
