#pragma once
// Laying out the live panel for a module type, its labels and the actions of
// its controls.
#include <string>
#include <string_view>

namespace oxalis {

struct Monitor;
class CommandSet;

// The module families the panel has a layout for.
enum class PanelLayout { None, Oxalis, Panora, Qtx, SteeringWheel };

// The design captions, before any module type is laid out.
void initialiseLivePanel(Monitor& monitor);

// Labels, lamp texts and tooltips, the cells, lamps, channel ticks, cursor
// boxes and trace choices the module type has, button captions and channel
// count for the module's device code. An unknown code keeps the previous
// layout and gives None.
PanelLayout layoutPanelForModule(Monitor& monitor);
// Whether this version has a panel layout for the device code.
bool HasPanelLayout(const std::string& deviceCode);

// Label 4 from the stoichiometric ratio: "A/F (St:14.57)"; the module types
// that show no air/fuel ratio keep their own label 4.
void setAfLabel(Monitor& monitor);

// Labels 13-17 (and 8 on the display) from channel slots 1..5.
void setChannelLabels(Monitor& monitor);

// User channel slot 1..5 changed: its label, colour, tooltip and trace tick
// follow (and label 8, the analogue input, for slot 5). Other slots: nothing.
void showChannel(Monitor& monitor, int slot);

// Reads a channel line into a slot; for the user channels 1..5 the panel
// follows as showChannel says.
void ParseChannelLineIntoSlot(Monitor& monitor, int slot, std::string_view line);

// The Run/Stop button `Boutton_Frame` of the measurement stream.
void Boutton_Frame_Click(Monitor& monitor, CommandSet& commands, bool& streamRunning);

// The display's setting lists: each choice writes its byte and reloads.
void Combo_Channel_Click(Monitor& monitor, CommandSet& commands, int index);
void Combo_Luminosite_Click(Monitor& monitor, CommandSet& commands, int index);
void Combo_TypeCarburant_Click(Monitor& monitor, CommandSet& commands, int index);

// The main window was resized: every cell is repainted on the next tick.
void livePanelResized(Monitor& monitor);

}  // namespace oxalis
