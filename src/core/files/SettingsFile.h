#pragma once
// The settings file "OXL_Monitor.ini": the last module's port and type, the
// folders and file names last used, the fuel ratios, the time base and the
// channel slots 1..10. One tag and its value per line, no sections:
//   [COM]:3
//   [DIRSETUP]:/home/ana/setups
//   [DIRDATA]:/home/ana/runs
//   [DTA]:/home/ana/runs/track.DA1
//   [OXS]:Default.OXS
//   [HC]:2
//   [STOICHIO]:14.57
//   [Tbase]:20s
//   [CHCAN1]:CAN1;0x100;1;2;1;0;0;1;0;0;5000;mV;255;NO;0    (and CAN2..CAN4)
//   [CHVin]:...   [CFG_MV]:...   [CFG_RICH]:...   [CFG_O2]:...   [CFG_LBDA]:...   [CFG_AFR]:...
//   [Last Module]:OX2
// Windows-1252 on disk, lines ended by CR LF.
#include <filesystem>
#include <string>
#include <string_view>

#include "files/AtomicFile.h"

namespace oxalis {

class Core;

inline constexpr const char* kSettingsFileName = "OXL_Monitor.ini";

// Sets the defaults (hcRatio 2, setupFileName "Default.OXS", the default
// lines of all thirteen channel slots and the panel's channel labels and
// ticks), then applies the file when it can be read. A missing or unreadable
// file leaves the defaults, without a message. Laying the panel out for the
// module type and deriving tracePoints from the time base are left to the
// caller.
void ReadSettings(Core& core, const std::filesystem::path& file);

// The defaults above, then the lines of a settings file's content
// (Windows-1252, or UTF-8 after a byte-order mark; any line ends):
// - "[Last Module]:" at the start: deviceCode := the last 3 characters of
//   the value, trailing blanks aside; a shorter value leaves deviceCode.
// - "[COM]:", "[DIRSETUP]:", "[DIRDATA]:", "[OXS]:", "[HC]:", "[STOICHIO]:",
//   "[Tbase]:" at the start: the value follows the tag. Numbers are read as
//   the leading decimal number (0 when there is none). The port is a number
//   1..32 rounded to the nearest; anything else reads as 0, no saved port.
//   "[HC]:" and "[STOICHIO]:" refresh the A/F label.
// - the ten channel tags at the start: the value is read into its slot.
// A tag counts only at the start of a line: a folder or channel name that
// contains the text of a tag changes nothing but its own setting. Unknown
// lines are ignored; a missing tag leaves its default.
void ParseSettings(Core& core, std::string_view content);

// The content WriteSettings saves: the lines in the order above, "[COM]:"
// (the port in use) only while the port is open, Windows-1252, CR LF. A line
// break inside a folder or file name is written as a space so that it
// cannot start a line of its own.
std::string FormatSettings(const Core& core);

// Saves FormatSettings atomically; the previous file stays on failure.
FileResult WriteSettings(const Core& core, const std::filesystem::path& file);

}  // namespace oxalis
