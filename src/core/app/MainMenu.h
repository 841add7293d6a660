#pragma once
// The main window's menu entries and tool-bar buttons that are not plain
// calls of another subsystem.
#include <array>
#include <string_view>

#include "app/MainWindowModel.h"

namespace oxalis {

class Core;

// A tool-bar click, dispatched on the button's key; an unknown key does
// nothing.
void toolbarClick(Core& core, std::string_view key);

// "&Firmware" and the tool bar's firmware button: with a module connected
// the firmware window opens (true; the window layer shows it), without one a
// message says why not.
bool firmwareClick(Core& core);

// The "&Level" submenu: Basic, Normal, Expert, Master (`NiveauBasic` ..
// `NiveauHyperUser`), the current level ticked.
std::array<MenuEntry, 4> levelMenu(const Core& core);

}  // namespace oxalis
