#include "app/Recording.h"

#include "app/Core.h"
#include "app/Toolbar.h"
#include "app/DataCommands.h"
#include "app/Replay.h"

namespace oxalis {

namespace {

void enableDataCommands(Core& core, bool enabled) {
  MainWindowModel& window = core.mainWindow;
  for (MenuEntry* entry : {&window.dataNew, &window.dataOpen, &window.dataSave, &window.dataSaveAs, &window.dataExportCsv})
    entry->enabled = enabled;
  for (const char* key : {"Open", "Save"}) {
    if (enabled)
      enableToolButton(window, key);
    else
      disableToolButton(window, key);
  }
}

}  // namespace

void refreshRecordingControls(Core& core) {
  const AppState& state = core.state;
  MainWindowModel& window = core.mainWindow;
  const bool running = state.recording && !state.recordPaused;
  if (running) disableToolButton(window, "Start_Record"); else enableToolButton(window, "Start_Record");
  if (running) enableToolButton(window, "Pause_Record"); else disableToolButton(window, "Pause_Record");
  if (state.recording) enableToolButton(window, "Stop_Record"); else disableToolButton(window, "Stop_Record");
  enableDataCommands(core, !state.recording);
  core.showRecordingState();
  replayAvailabilityChanged(core);
}

void startRecord(Core& core) {
  AppState& state = core.state;
  auto& dialogs = core.platform.dialogs;
  if (state.dataFileOpened) {
    switch (dialogs.question("Data file opened. Do you want to append new datas?", "Save Data",
                             QuestionButtons::YesNoCancel)) {
      case Answer::Yes: break;  // the new samples follow the loaded ones
      case Answer::No:
        state.dataFileOpened = false;
        if (!dataNew(core)) return;
        break;
      default: return;
    }
  } else if (state.dataNotSaved && !state.recording) {
    switch (dialogs.question("Data not saved. Do you want to save data?", "Save Data", QuestionButtons::YesNoCancel)) {
      case Answer::Yes:
        if (!dataSaveAs(core)) return;
        if (!dataNew(core)) return;
        break;
      case Answer::No:
        state.dataNotSaved = false;
        if (!dataNew(core)) return;
        break;
      default: return;
    }
  }
  state.recordPaused = false;
  state.recording = true;
  refreshRecordingControls(core);
}

void pauseRecord(Core& core) {
  core.state.recordPaused = true;
  refreshRecordingControls(core);
}

void stopRecord(Core& core) {
  core.state.recordPaused = false;
  core.state.recording = false;
  refreshRecordingControls(core);
}

}  // namespace oxalis
