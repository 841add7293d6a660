#pragma once
// The .TAB file of the table page: one line holding the table on screen as
// decimal integers, each followed by ";" (the lambda controller: In 1..32
// then Out 1..32; the display: In 1..16 then Out 1..16 of the selected
// channel), and the `MapFile` menu's load and save flows.
#include <string>
#include <string_view>

#include "platform/Dialogs.h"
#include "setup/OutputTables.h"

namespace oxalis {

// The pop-up menu `MapFile` of the grid.
inline constexpr std::string_view kLoadMapCaption = "&Load Map from File";
inline constexpr std::string_view kSaveMapCaption = "&Save Map in File";

// The table on screen as a .TAB line, without its line end.
std::string FormatTableLine(const TablePage& page, std::string_view deviceCode);

// Loads a .TAB line into the table on screen. Each value read is rounded and
// marked as loaded from a file. On the lambda controller an In item with a
// "." is a richness and is taken x 1000 ("0.75" and "750" both load 750).
// A line with fewer items than the table loads the points it holds and
// leaves the others as they were; items past the table are ignored. Returns
// the number of values loaded.
int ParseTableLine(TablePage& page, std::string_view deviceCode, std::string_view line);

// `SaveMapFile`: asks for a file in `libFolder` and writes the line to it,
// replacing it in one step. True when the file was written.
bool SaveMapFile(Dialogs& dialogs, const std::string& libFolder, const TablePage& page, std::string_view deviceCode);

// `LoadMapFile`: asks for a file in `libFolder`, loads its first line and
// redraws the grid. True when the table changed.
bool LoadMapFile(Dialogs& dialogs, const std::string& libFolder, TablePage& page, std::string_view deviceCode,
                 double stoichRatio);

}  // namespace oxalis
