#pragma once
// Laying out the live panel for a module type, its labels and the actions of
// its controls.
#include <string_view>

namespace oxalis {

class Core;

// The design captions, before any module type is laid out.
void initialiseLivePanel(Core& core);

// Labels, lamp texts, visibility, button captions and channel count for
// core.state.deviceCode. Types without a layout (RMW, unknown) keep the
// previous one; labels a type does not set keep their text.
void layoutPanelForModule(Core& core);

// Label 4 from the stoichiometric ratio: "A/F (St:14.57 )".
void setAfLabel(Core& core);

// Labels 13-17 (and 8 on the display) from channel slots 1..5.
void setChannelLabels(Core& core);

// Reads a channel line into a slot; for the user channels 1..5 the panel
// follows (label, colour, tooltip and the trace tick).
void ParseChannelLineIntoSlot(Core& core, int slot, std::string_view line);

// The Run/Stop button of the measurement stream.
void Boutton_Frame_Click(Core& core);

// The display's setting lists: each choice writes its byte and reloads.
void Combo_Channel_Click(Core& core, int index);
void Combo_Luminosite_Click(Core& core, int index);
void Combo_TypeCarburant_Click(Core& core, int index);

// The main window was resized: every cell is repainted on the next tick.
void livePanelResized(Core& core);

}  // namespace oxalis
