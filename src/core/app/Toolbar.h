#pragma once
// Enabling the tool bar's buttons by key, and dispatching its clicks.
#include <string_view>

namespace oxalis {

class Core;
struct MainWindowModel;

// A matching enabled button is disabled and shows its greyed picture;
// calling it again changes nothing. enableToolButton does the reverse.
void disableToolButton(MainWindowModel& window, std::string_view key);
void enableToolButton(MainWindowModel& window, std::string_view key);

}  // namespace oxalis
