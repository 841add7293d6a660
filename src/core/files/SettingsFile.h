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
//   [Geometry]:40,30,1366,740,0    (the main window: left, top, width, height, maximised)
//   [Overlay]:00001                (built-in quantities overlaid on the trace: Vout, richness, lambda, O2, A/F)
//   [Theme]:Dark                   (Desktop, Light or Dark)
// The last three come after the tags earlier versions know, which ignore them.
// Windows-1252 on disk, lines ended by CR LF.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "config/ChannelTable.h"
#include "util/AtomicFile.h"

namespace oxalis {

inline constexpr const char* kSettingsFileName = "OXL_Monitor.ini";

// What the settings file holds.
struct Settings {
  std::uint8_t port = 0;        // [COM]: the module's port 1..32, 0 none
  std::string setupFolder;      // [DIRSETUP]:
  std::string dataFolder;       // [DIRDATA]:
  std::string dataFileName;     // [DTA]: written, not read back
  std::string setupFileName = "Default.OXS";  // [OXS]:
  double hcRatio = 2;           // [HC]:
  double stoichRatio = 14.57;   // [STOICHIO]:
  std::string timeBaseText = "20s";  // [Tbase]:
  std::array<ChannelDefinition, 10> channels{};  // channel slots 1..10
  std::string deviceCode = "OX2";  // [Last Module]:
  std::string windowGeometry;      // [Geometry]: empty: the window's own placement
  std::array<bool, 5> overlay{};   // [Overlay]:
  std::string theme = "Desktop";   // [Theme]: "Desktop" (follow the desktop), "Light" or "Dark"
  // Reading only: which channel tags the file had.
  std::array<bool, 10> channelRead{};
};

// A settings file's content (Windows-1252, or UTF-8 after a byte-order
// mark; any line ends) over `current`, the values before it is read. First
// the defaults replace hcRatio (2), setupFileName ("Default.OXS") and all ten
// channel slots (their default lines); then:
// - "[Last Module]:" at the start: deviceCode := the last 3 characters of
//   the value, trailing blanks aside; a shorter value leaves deviceCode.
// - "[COM]:", "[DIRSETUP]:", "[DIRDATA]:", "[OXS]:", "[HC]:", "[STOICHIO]:",
//   "[Tbase]:", "[Geometry]:", "[Theme]:" at the start: the value follows the tag.
// - "[Overlay]:": one "1" or "0" per built-in quantity, in order. Numbers are read as
//   the leading decimal number (0 when there is none). The port is a number
//   1..32 rounded to the nearest; anything else reads as 0, no saved port.
// - the ten channel tags at the start: the value is read into its slot.
// A tag counts only at the start of a line: a folder or channel name that
// contains the text of a tag changes nothing but its own setting. Unknown
// lines are ignored; a missing tag leaves the value it had.
Settings ParseSettings(std::string_view content, Settings current);

// Reads the file over `current` as ParseSettings does. A missing or
// unreadable file gives the defaults over `current`, without a message.
Settings ReadSettings(const std::filesystem::path& file, Settings current);

// The content WriteSettings saves: the lines in the order above, "[COM]:"
// only when `port` is set, Windows-1252, CR LF. A line break inside a folder
// or file name is written as a space so that it cannot start a line of its
// own.
std::string FormatSettings(const Settings& settings);

// Saves FormatSettings atomically; the previous file stays on failure.
FileResult WriteSettings(const Settings& settings, const std::filesystem::path& file);

}  // namespace oxalis
