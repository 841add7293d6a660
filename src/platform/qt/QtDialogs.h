#pragma once
// Message boxes and file and colour choosers on Qt.
#include <QWidget>
#include <QPointer>

#include "platform/Dialogs.h"

namespace oxalis {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  void message(const std::string& text, const std::string& title, MessageIcon icon) override;
  Answer question(const std::string& text, const std::string& title, QuestionButtons buttons,
                  MessageIcon icon) override;
  std::optional<std::string> openFile(const FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const FileDialogRequest& request) override;
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace oxalis
