#pragma once
// The factory window `HyperUser` ("Hyper User Window"), shown at the Master
// level beside the main window: calibration, identity, probe time and user
// level sends, and the link's traffic, counters and log.
#include <QDialog>
#include <array>
#include <cstdint>

#include "app/Core.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;

namespace oxalis {

class FactoryWindow : public QDialog {
  Q_OBJECT
 public:
  FactoryWindow(Core& core, QWidget* parent);

  QLineEdit* box(const QString& name) const;
  QScrollBar* scrollBar(CalibrationBox box) const { return scrolls_[static_cast<std::size_t>(box)]; }
  QPushButton* button(const QString& name) const;
  QPlainTextEdit* log() const { return log_; }

 public slots:
  // The close box and "&Exit": the window hides; the Master level keeps it
  // until the level changes.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void render();
  void showNewLogText();
  QLineEdit* addBox(const char* name, const char* tip = nullptr);
  QPushButton* addButton(const char* name, const char* caption, void (Factory::*handler)());

  Core& core_;
  Factory& factory_;
  std::array<QLineEdit*, 3> calibration_{};
  std::array<QScrollBar*, 3> scrolls_{};
  std::vector<QLineEdit*> boxes_;
  std::vector<QPushButton*> buttons_;
  QProgressBar* bufferLevel_ = nullptr;
  std::array<QCheckBox*, 6> diagCan_{};
  std::array<QCheckBox*, 5> errors_{};  // Chksum, Blank, Verify, OverRun, Perte de trame
  QLabel* lostFrames_ = nullptr;
  QLabel* canErrors_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  bool shownForMaster_ = false;
  std::uint64_t shownLogWritten_ = 0;
  std::uint32_t shownLogResets_ = ~0U;  // the first look shows the whole text
  QTimer* renderTimer_ = nullptr;
  Subscription subscription_;
};

}  // namespace oxalis
