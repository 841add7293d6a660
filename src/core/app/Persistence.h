#pragma once
// The files' contents applied to the tool, and gathered from it: the
// settings file and the data file's header. The formats themselves live in
// files/ and know nothing of the tool's state.
#include <filesystem>

#include "files/DataFile.h"
#include "files/SettingsFile.h"

namespace oxalis {

class Core;

// The settings as the tool holds them now ("[COM]:" only while the port is
// open).
Settings currentSettings(const Core& core);
// Takes read settings over: folders and names, ratios, time base, the
// channel slots (1..10 from the file, 11..13 back to their defaults) with
// the panel's channel labels and ticks, the last module's type and port.
void applySettings(Core& core, const Settings& settings);
// Reads the settings file (a missing or unreadable one gives the defaults,
// without a message) and applies it. Laying the panel out for the module
// type and deriving the trace width from the time base are the caller's.
void loadSettings(Core& core, const std::filesystem::path& file);
FileResult saveSettings(const Core& core, const std::filesystem::path& file);

// The data file header of the tool's module, channels and ticks, dated today.
DataFileHeader currentDataFileHeader(const Core& core);
// Saves the trace's samples with that header.
FileResult saveDataFile(const Core& core, const std::filesystem::path& file);
// Takes a read data file over: user channels 1..5 and their labels, the
// channel ticks, the samples into the trace (the window on them). Redrawing
// is the caller's.
void applyDataFile(Core& core, DataFileRead&& read);

}  // namespace oxalis
