#pragma once
// The recording buttons of the tool bar and the enabling that follows the
// recording state.
namespace oxalis {

class Core;

// Start_Record / Pause_Record / Stop_Record.
void startRecord(Core& core);
void pauseRecord(Core& core);
void stopRecord(Core& core);

// Tool bar and data menu enabling for the current recording state.
void refreshRecordingControls(Core& core);

}  // namespace oxalis
