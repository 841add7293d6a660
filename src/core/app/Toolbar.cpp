#include "app/Toolbar.h"

#include "app/MainWindowModel.h"

namespace oxalis {

void disableToolButton(MainWindowModel& window, std::string_view key) {
  for (ToolButton& button : window.toolbar) {
    if (button.separator || button.key != key || !button.enabled) continue;
    button.enabled = false;
    ++button.image;
  }
  window.changed.notify();
}

void enableToolButton(MainWindowModel& window, std::string_view key) {
  for (ToolButton& button : window.toolbar) {
    if (button.separator || button.key != key || button.enabled) continue;
    button.enabled = true;
    --button.image;
  }
  window.changed.notify();
}

}  // namespace oxalis
