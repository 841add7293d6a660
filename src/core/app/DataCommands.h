#pragma once
// The data menu: "New", "Open", "Save", "Save As".
#include <string>

#include "platform/Clock.h"

namespace oxalis {

class Core;

// Each returns false when the user cancelled (or a save failed), so a
// caller that runs it as one step of a longer command can stop.
bool dataNew(Core& core);
bool dataOpen(Core& core);
// Opens this data file (what "Open" does once the file is chosen).
bool dataOpenFile(Core& core, const std::string& file);
bool dataSave(Core& core);
bool dataSaveAs(Core& core);
// "Export CSV...": the recorded samples as a CSV file in physical units.
bool dataExportCsv(Core& core);
// "Export CSV between cursors...": only the samples from cursor A to B.
bool dataExportCsvBetweenCursors(Core& core);

// "Data not saved. Do you want to save data?" when unsaved samples exist:
// Yes saves (Save As), No goes on, Cancel stops. True to go on.
bool offerToSaveData(Core& core);

// The folder of a file path, on the platform's separator.
std::string FolderOfPath(const std::string& path);

// Where the data file dialogs open and "Default.DA1" lands: the data folder
// when it is an existing folder, otherwise the app folder.
std::string dataFolderOrAppFolder(const Core& core);

// "2026-12-08 14-30-05": a date and time that sorts and fits in a file name.
std::string fileTimeStamp(const DateTime& time);

// Empties the trace buffer and puts the window back at its start.
void clearTraceData(Core& core);

}  // namespace oxalis
