#include "app/DataCommands.h"

#include <filesystem>

#include "app/Core.h"
#include "app/Persistence.h"
#include "app/Presenter.h"
#include "app/Replay.h"
#include "files/CsvExport.h"
#include "files/DataFile.h"
#include "trace/Trace.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

constexpr const char* kDefaultName = "default.DA1";

constexpr const char* kDataFilter = "Data file (*.DA1)|*.DA1";

bool writeTo(Core& core, const std::string& file) {
  const FileResult result = saveDataFile(core, file);
  if (!result.ok) {
    core.platform.dialogs.message("Fail to open file " + file + "\n" + result.error, "Error", MessageIcon::Warning);
    return false;
  }
  core.state.dataNotSaved = false;
  core.state.dataFileOfThisRun = file;
  core.showRecordingState();  // the caption's unsaved star goes
  return true;
}

FileDialogRequest dataDialog(const Core& core, const char* title, const char* filter) {
  FileDialogRequest request;
  request.title = title;
  request.filter = filter;
  request.defaultExtension = "DA1";
  request.startFolder = dataFolderOrAppFolder(core);
  return request;
}

// "Save" on a name this run neither opened nor saved (the "Default.DA1"
// that "New" proposes, or a name kept from an earlier run) would replace
// someone's file unasked. True to write it.
bool mayReplace(Core& core, const std::string& file) {
  std::error_code ec;
  if (file == core.state.dataFileOfThisRun || !std::filesystem::exists(file, ec)) return true;
  return core.platform.dialogs.question("The file " + file + " already exists.\nDo you want to replace it?",
                                        "Save Data", QuestionButtons::YesNo,
                                        MessageIcon::Warning) == Answer::Yes;
}

}  // namespace

std::string FolderOfPath(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

std::string dataFolderOrAppFolder(const Core& core) {
  std::error_code ec;
  const std::string& data = core.state.dataFolder;
  if (!data.empty() && std::filesystem::is_directory(data, ec)) return data;
  return core.state.appFolder;
}

std::string fileTimeStamp(const DateTime& t) {
  return std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + " " + TwoDigits(t.hour) +
         "-" + TwoDigits(t.minute) + "-" + TwoDigits(t.second);
}

bool offerToSaveData(Core& core) {
  if (!core.state.dataNotSaved) return true;
  switch (core.platform.dialogs.question("Data not saved. Do you want to save data?", "Save Data",
                                         QuestionButtons::YesNoCancel)) {
    case Answer::Yes: return dataSaveAs(core);
    case Answer::No: return true;
    default: return false;
  }
}

void clearTraceData(Core& core) {
  TraceBuffer& buffer = core.trace.buffer;
  clearTraceSlots(core.trace, 0, TraceBuffer::kRingSize - 1);
  buffer.sampleCount = 0;
  buffer.writeIndex = 0;
  buffer.startIndex = 0;
  buffer.ringWrapped = false;
  buffer.viewStart = 0;
  buffer.viewEnd = core.trace.tracePoints;
  updateOverviewBox(core.trace);
  repaintTrace(core.trace);
  core.updateMemoryText();
  replayAvailabilityChanged(core);
}

bool dataNew(Core& core) {
  if (!offerToSaveData(core)) return false;
  AppState& state = core.state;
  state.dataNotSaved = false;
  state.dataFileOpened = false;
  clearTraceData(core);
  state.dataFileName = (std::filesystem::path(dataFolderOrAppFolder(core)) / "Default.DA1").string();
  showFileInCaption(core.mainWindow, core.state.dataFileName);
  core.showRecordingState();
  return true;
}

bool dataOpen(Core& core) {
  if (!offerToSaveData(core)) return false;
  FileDialogRequest request = dataDialog(core, "Open Data File", kDataFilter);
  const auto file = core.platform.dialogs.openFile(request);
  return file && dataOpenFile(core, *file);
}

bool dataOpenFile(Core& core, const std::string& file) {
  FileResult opened{true, {}};
  DataFileRead read = ReadDataFile(file, UserChannels(core.channels), opened);
  if (!opened.ok) {
    core.platform.dialogs.message("Fail to open file " + file + "\n" + opened.error, "Error", MessageIcon::Error);
    return false;
  }
  if (read.status == DataFileRead::Status::NotADataFile) {
    core.platform.dialogs.message("Invalid data file", "Error", MessageIcon::Error);
    return false;
  }
  replayStop(core);
  applyDataFile(core, std::move(read));
  AppState& state = core.state;
  state.dataFileName = file;
  state.dataFolder = FolderOfPath(file);
  showFileInCaption(core.mainWindow, core.state.dataFileName);
  updateOverviewBox(core.trace);
  repaintTrace(core.trace);
  core.updateMemoryText();
  state.dataNotSaved = false;
  state.dataFileOpened = true;
  state.dataFileOfThisRun = file;
  core.showRecordingState();
  replayAvailabilityChanged(core);
  return true;
}

bool dataSave(Core& core) {
  const std::string& name = core.state.dataFileName;
  if (name.empty() || name == kDefaultName) return dataSaveAs(core);
  // "No" leaves the file alone and asks for another name.
  if (!mayReplace(core, name)) return dataSaveAs(core);
  return writeTo(core, name);
}

bool dataSaveAs(Core& core) {
  FileDialogRequest request = dataDialog(core, "Save as", kDataFilter);
  // A new name for every recording, so that one never replaces another.
  request.fileName = fileTimeStamp(core.platform.clock.now()) + ".DA1";
  request.promptOverwrite = true;
  const auto file = core.platform.dialogs.saveFile(request);
  if (!file) return false;
  if (!writeTo(core, *file)) return false;
  core.state.dataFileName = *file;
  core.state.dataFolder = FolderOfPath(*file);
  showFileInCaption(core.mainWindow, core.state.dataFileName);
  return true;
}

}  // namespace oxalis

namespace oxalis {

namespace {

bool exportCsv(Core& core, std::optional<CsvRows> rows) {
  FileDialogRequest request = dataDialog(core, "Export CSV", "CSV files (*.csv)|*.csv");
  request.defaultExtension = "csv";
  request.fileName = std::filesystem::path(core.state.dataFileName).stem().string();
  request.promptOverwrite = true;
  const auto file = core.platform.dialogs.saveFile(request);
  if (!file) return false;
  const FileResult result = WriteCsv(UserChannels(core.channels), core.trace.buffer, *file, rows);
  if (!result.ok) {
    core.platform.dialogs.message("Fail to open file " + *file + "\n" + result.error, "Error", MessageIcon::Warning);
    return false;
  }
  return true;
}

}  // namespace

bool dataExportCsv(Core& core) { return exportCsv(core, std::nullopt); }

bool dataExportCsvBetweenCursors(Core& core) {
  const Trace& trace = core.trace;
  const auto a = CsvRowOfSample(trace.buffer, trace.buffer.cursorSample);
  const auto b = trace.cursorB >= 0 ? CsvRowOfSample(trace.buffer, trace.cursorB) : std::nullopt;
  if (!a || !b) {
    core.platform.dialogs.message(
        "Place cursor A and cursor B (Shift + left click) on recorded samples to export the span between them.",
        "Export CSV", MessageIcon::Information);
    return false;
  }
  return exportCsv(core, CsvRows{std::min(*a, *b), std::max(*a, *b)});
}

}  // namespace oxalis
