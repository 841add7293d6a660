#pragma once
// Dialogs that record what was shown and give scripted answers.
//  - messages: every message box, in order.
//  - answers: answers to questions, taken in order (default: the `fallback`).
//  - files: answers to open and save dialogs, taken in order (default: cancel).
//  - onMessage: runs while a message box is "open", to reproduce events that
//    a nested event loop would deliver.
#include <deque>
#include <functional>
#include <vector>

#include "platform/Dialogs.h"

namespace oxalis::test {

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
};

class FakeDialogs : public Dialogs {
 public:
  void message(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
    if (onMessage) onMessage();
  }
  Answer question(const std::string& text, const std::string& title, QuestionButtons, MessageIcon icon) override {
    questions.push_back({text, title, icon});
    if (answers.empty()) return fallback;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> openFile(const FileDialogRequest& request) override { return nextFile(request); }
  std::optional<std::string> saveFile(const FileDialogRequest& request) override { return nextFile(request); }
  std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return color; }

  std::vector<ShownMessage> messages;
  std::vector<ShownMessage> questions;
  std::vector<FileDialogRequest> fileRequests;
  std::deque<Answer> answers;
  Answer fallback = Answer::No;
  std::deque<std::optional<std::string>> files;
  std::optional<std::uint32_t> color;
  std::function<void()> onMessage;

 private:
  std::optional<std::string> nextFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace oxalis::test
