#pragma once
// A notice inside the main window, above the live panel: a text, the buttons
// that answer it and a close button. It never blocks the window: the port
// search, the live values and the recording go on while it is shown.
#include <QFrame>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <functional>

#include "app/MainWindowModel.h"

namespace oxalis {

class NoticeBar : public QFrame {
  Q_OBJECT
 public:
  // `onAction` gets the index of the button pressed; `onClose` the close
  // button (or Escape while a button of the notice has the focus).
  NoticeBar(const QString& name, std::function<void(int)> onAction, std::function<void()> onClose,
            QWidget* parent = nullptr);

  void show(const Notice& notice);
  QString text() const { return text_->text(); }
  QPushButton* actionButton(int index) const { return buttons_.value(index); }
  QPushButton* closeButton() const { return close_; }

 private:
  QLabel* text_ = nullptr;
  QWidget* buttonBox_ = nullptr;
  QList<QPushButton*> buttons_;
  QPushButton* close_ = nullptr;
  std::function<void(int)> onAction_;
  std::vector<std::string> shownActions_;
};

}  // namespace oxalis
