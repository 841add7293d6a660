#include "AboutDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QVBoxLayout>

#include "Theme.h"
#include "app/AboutText.h"
#include "app/Version.h"

namespace oxalis {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("F_About");
  setWindowTitle("About");
  auto* column = new QVBoxLayout(this);
  auto* logo = new QLabel(QString("<span style='font-size:20pt; font-weight:bold; color:%2'>Oxalis</span>"
                                  "<span style='font-size:20pt'> Monitor</span>"
                                  "<br>Version %1")
                              .arg(kVersion, successText().name()),
                          this);
  column->addWidget(logo);
  releaseNote_ = new QPlainTextEdit(this);
  releaseNote_->setObjectName("ReleaseNote");
  releaseNote_->setReadOnly(true);
  releaseNote_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  releaseNote_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The history's lines end with CR LF; the box shows each as one line.
  releaseNote_->setPlainText(QString::fromStdString(ReleaseNoteText()).replace("\r\n", "\n"));
  releaseNote_->moveCursor(QTextCursor::Start);
  releaseNote_->setMinimumSize(620, 380);
  column->addWidget(releaseNote_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  column->addWidget(buttons);
}

}  // namespace oxalis
