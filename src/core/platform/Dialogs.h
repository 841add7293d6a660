#pragma once
// Message boxes, questions, file and colour choosers. Showing one may run a
// nested event loop: callers leave their state consistent before asking.
#include <cstdint>
#include <optional>
#include <string>

namespace oxalis {

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class QuestionButtons { YesNo, YesNoCancel, OkCancel };
enum class Answer { Yes, No, Cancel, Ok };

struct FileDialogRequest {
  std::string title;
  std::string filter;            // e.g. "Data files (*.DA1)|*.DA1"
  std::string defaultExtension;  // without the dot
  std::string startFolder;
  std::string fileName;          // proposed name
  bool promptOverwrite = false;  // save dialogs only
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void message(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  virtual Answer question(const std::string& text, const std::string& title,
                          QuestionButtons buttons, MessageIcon icon = MessageIcon::Question) = 0;
  virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
  // Colours are 0x00BBGGRR.
  virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;
};

}  // namespace oxalis
