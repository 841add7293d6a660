#include "FirmwareWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "QtConvert.h"

namespace oxalis {

FirmwareWindow::FirmwareWindow(Core& core, QWidget* parent)
    : QDialog(parent), core_(core), update_(core.firmware) {
  setObjectName("Load_Firmware");
  setModal(true);
  auto* column = new QVBoxLayout(this);

  auto* buttons = new QHBoxLayout;
  file_ = new QPushButton("File", this);
  file_->setObjectName("BoutonFile");
  load_ = new QPushButton("Load", this);
  load_->setObjectName("BoutonLoad");
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("Cancel_update");
  for (QPushButton* button : {file_, load_, cancel_}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  column->addLayout(buttons);

  option_ = new QCheckBox("Update Bootloader", this);
  option_->setObjectName("Check_BootloaderUpdate");
  option_->setToolTip("check this option to update the Bootloader. Note that it is possible since 1.1 version.");
  column->addWidget(option_);
  auto* notice = new QLabel("Flash memory will be erased and custom lookup table must be reloaded in setup window.", this);
  notice->setObjectName("Notice");
  notice->setWordWrap(true);
  column->addWidget(notice);

  auto* progressRow = new QHBoxLayout;
  progress_ = new QProgressBar(this);
  progress_->setObjectName("ProgressBar1");
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);
  percent_ = new QLabel(this);
  percent_->setObjectName("Etat_load");
  percent_->setMinimumWidth(48);
  progressRow->addWidget(progress_, 1);
  progressRow->addWidget(percent_);
  column->addLayout(progressRow);

  sent_ = new QPlainTextEdit(this);
  sent_->setObjectName("Text1");
  sent_->setReadOnly(true);
  sent_->setMinimumHeight(120);
  column->addWidget(sent_, 1);

  status_ = new QLabel(this);
  status_->setObjectName("StatusBar1");
  status_->setFrameShape(QFrame::StyledPanel);
  column->addWidget(status_);

  connect(file_, &QPushButton::clicked, this, [this] { update_.BoutonFile_Click(); });
  connect(load_, &QPushButton::clicked, this, [this] { update_.BoutonLoad_Click(); });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    update_.Cancel_update_Click();
    if (!update_.window.visible) QDialog::reject();
  });
  connect(option_, &QCheckBox::clicked, this, [this](bool checked) { update_.Check_BootloaderUpdate_Click(checked); });

  resize(460, 340);
  subscription_ = update_.window.changed.subscribe([this] { render(); });
  render();
}

// Esc and the close box.
void FirmwareWindow::reject() {
  if (update_.escape() || !update_.window.visible) QDialog::reject();
}

void FirmwareWindow::render() {
  const FirmwareWindowModel& model = update_.window;
  setWindowTitle(qs(model.caption));
  load_->setEnabled(model.BoutonLoad && !update_.running());
  file_->setEnabled(!update_.running());
  cancel_->setEnabled(model.Cancel_update);
  option_->setEnabled(model.Check_BootloaderUpdateEnabled && !update_.running());
  option_->setChecked(model.Check_BootloaderUpdate);
  progress_->setValue(model.ProgressBar1);
  percent_->setText(qs(model.Etat_load));
  status_->setText(model.statusPanel1.empty() ? QString("Bootloader version") : qs(model.statusPanel1));
  // Only the lines added since the last render are appended.
  if (model.Text1.size() < sentShown_) {
    sent_->clear();
    sentShown_ = 0;
  }
  for (; sentShown_ < model.Text1.size(); ++sentShown_) sent_->appendPlainText(qs(model.Text1[sentShown_]));
}

}  // namespace oxalis
