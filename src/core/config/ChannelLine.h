#pragma once
// The one-line text form in which every file of the tool stores a channel
// definition, and the tool-tip summary of a channel:
//   Name;ID;MSB;LSB;A;B;C;D;Dec;Min;Max;Unit;Color;Show;Map
// Note that Map comes last, although it precedes A in the channel grid.
#include <array>
#include <string>
#include <string_view>

#include "config/ChannelTable.h"
#include "util/NumberFormat.h"

namespace oxalis {

// The default line of each slot 1..13 (index 0 is slot 1). They have
// fourteen fields, so Map reads 0.
inline constexpr std::array<std::string_view, ChannelTable::kSlots> kDefaultChannelLines{
    "CAN1;0x100;1;2;1;0;0;1;0;0;5000;mV;255;NO",
    "CAN2;0x101;1;2;1;0;0;1;0;0;5000;mV;16776960;NO",
    "CAN3;0x102;1;2;1;0;0;1;0;0;5000;mV;65535;NO",
    "CAN4;0x103;1;2;1;0;0;1;0;0;5000;mV;65280;NO",
    "Vin;0x000;1;2;1;0;0;1;0;-100;5100;mV;16777215;NO",
    "Vout;0x000;1;2;1;0;0;1;0;-100;5100;mV;16777215;NO",
    "Richness;0x000;1;2;1;0;0;1;3;0;1800;;16777215;YES",
    "O2;0x000;1;2;1;0;0;1;2;-1500;2200;%;16777215;NO",
    "Lambda;0x000;1;2;1;0;0;1;3;0;9999;;16777215;NO",
    "A/F;0x000;1;2;1;0;0;1;2;0;9000;;16777215;NO",
    "Tprobe;0x000;1;2;1;0;0;10;;0;1000;ºC;16777215;NO",  // UTF-8 degree sign
    "Vs;0x000;1;2;1;0;0;1;0;0;1500;mV;16777215;NO",
    "Diag;0x000;1;2;1;0;0;1;0;0;256;;16777215;NO",
};

// Appends a text as one ";"-separated field: a ";" inside it becomes ","
// and a line break a space, so it cannot shift the fields after it or end
// the line.
void AppendFieldText(std::string& out, std::string_view text);

// The channel line of a definition. A ";" inside a text field (Name, ID,
// Unit) is written as "," and a line break as a space: either would split
// the line on reading and shift every later field.
std::string FormatChannelLine(const ChannelDefinition& channel);

// Reads a channel line into a definition. Missing trailing fields read as 0
// or as empty text, fields past the fifteenth are ignored, and a line
// terminator left at the end of the line is dropped. MSB, LSB, Dec and Map
// are rounded to the nearest integer and limited to 0..255, Color likewise
// to 0..0xFFFFFFFF (an out-of-range value takes the nearer limit rather than
// wrapping round). Show is true when the field, upper-cased, is "YES".
// The live panel's channel labels are the caller's to refresh.
void ParseChannelLine(ChannelDefinition& channel, std::string_view line);

// "Name; ID=..; MSB=..; LSB=..; Scale=Min to Max; Unit=..;Map".
std::string ChannelTooltipText(const ChannelDefinition& channel);

// The definition of slot 1..13 as its default line gives it.
ChannelDefinition DefaultChannel(int slot);

// Fills slots 1..13 from the default lines.
void LoadDefaultChannels(ChannelTable& table);

}  // namespace oxalis
