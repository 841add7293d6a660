#pragma once
// The firmware window `Load_Firmware` ("Update Firmware"): renders the
// firmware update's model and forwards the buttons. Esc and the close box
// close it only before or after a run: a module in the middle of an update
// must not be left behind by a stray key.
#include <QDialog>

#include "app/Core.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace oxalis {

class FirmwareWindow : public QDialog {
  Q_OBJECT
 public:
  FirmwareWindow(Core& core, QWidget* parent);

  QPushButton* fileButton() const { return file_; }
  QPushButton* loadButton() const { return load_; }
  QPushButton* cancelButton() const { return cancel_; }
  QCheckBox* bootloaderOption() const { return option_; }
  QProgressBar* progressBar() const { return progress_; }
  QLabel* percentLabel() const { return percent_; }
  QPlainTextEdit* sentRecords() const { return sent_; }
  QLabel* statusPanel() const { return status_; }

 public slots:
  void reject() override;

 private:
  void render();

  Core& core_;
  FirmwareUpdate& update_;
  QPushButton* file_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QCheckBox* option_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* percent_ = nullptr;
  QPlainTextEdit* sent_ = nullptr;
  QLabel* status_ = nullptr;
  std::size_t sentShown_ = 0;  // lines of Text1 shown
  Subscription subscription_;
};

}  // namespace oxalis
