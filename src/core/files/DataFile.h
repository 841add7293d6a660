#pragma once
// The data file (".DA1"): the definitions of the five user channels and one
// line per recorded sample, ";"-separated, Windows-1252, lines ended by CR LF.
//
//   www.Korvane.com : Data file from Oxalis Nº1234 created: 08/12/2026
//   CONFIG
//   Name;Vout;Richness;O2;Lambda;AFR;TProbe;Vs;Diag;CAN1;CAN2;CAN3;CAN4;Vin
//   ID;x;x;x;x;x;x;x;x;0x100;0x101;0x102;0x103;0x000
//   MSB, LSB, A, B, C, D, Decimal, Smin, Smax: the same placeholders, then
//        the five values
//   Unit;mV;x;%;Lambda;A/F;TProbe;mV;x;mV;mV;mV;mV;mV
//   Color;x;x;x;x;x;x;x;x;255;16776960;65535;65280;16777215
//   Show;x;x;x;x;x;x;x;x;1;0;0;0;0
//   DATA
//   0;2500;1000;2093;1000;1457;780;450;0;12;0;0;0;4800
//   ...
//
// A sample line is: index; Vout; Richness; O2; Lambda; AFR; TProbe; Vs;
// Diag; channels 1..5. Files of an older layout name field 5 of the "Name"
// line "A/F" and store the air/fuel ratio divided by 10.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/AtomicFile.h"

namespace oxalis {

class Core;

// The maker's web address that opens every data file; a file whose first
// line lacks the maker's name, spelt exactly so, is not a data file (the
// maker's earlier tool checks the same way, hence the capital in the address).
inline constexpr const char* kMakerAddress = "www.Korvane.com";
inline constexpr const char* kMakerName = "Korvane";

// The whole file for the trace buffer, the channel slots 1..5 and the five
// channel ticks. The date of the first line is today's, day/month/year with
// two-digit day and month ("08/12/2026"). A ring that has wrapped gives its
// 65000 samples oldest first, each line starting with its slot number;
// otherwise the samples from the start index on, each line starting with its
// sample number. A ring filled to exactly 65000 samples without wrapping
// gives all 65000.
std::string FormatDataFile(const Core& core);

// Saves FormatDataFile atomically; the previous file stays on failure.
FileResult WriteDataFile(const Core& core, const std::filesystem::path& file);

struct DataFileRead {
  enum class Status { Ok, NotADataFile };
  Status status = Status::Ok;
  // Sample lines read after "DATA", and how many of them, the oldest, did not
  // fit into the ring of 65000 samples.
  std::size_t linesRead = 0;
  std::size_t linesDropped = 0;
};

// Loads a data file's content (Windows-1252, or UTF-8 after a byte-order
// mark; any line ends) into the trace buffer, the channel slots 1..5 and the
// channel ticks, and refreshes the panel's channel labels.
// - A first line without "Korvane" is NotADataFile and changes nothing.
// - The whole ring is cleared. afrTenfold is set unless field 5 of the
//   "Name" line reads "AFR".
// - Header lines, up to the one whose first field is "DATA", are recognised
//   by their first field; fields 9..13 belong to channels 1..5, missing ones
//   read as empty or 0. Numbers are the leading decimal number of a field,
//   rounded and held within the range of what they go into. A file without
//   a "DATA" line loads its header and no samples.
// - Every line after "DATA" is one sample (empty lines aside, which are
//   skipped): fields 1..13, rounded and held within the width of each
//   sample field; text that is no number reads 0, so a cut or damaged line
//   still gives a sample. With afrTenfold the air/fuel ratio is limited to
//   3276 and multiplied by 10.
// - More lines than the ring holds: the newest 65000 are kept, as a
//   recording would have kept them, with the ring marked wrapped, so that
//   saving writes them oldest first; linesDropped tells how many went.
// - Afterwards sampleCount is the number of lines read, writeIndex that
//   number mod 65000, and the view runs from the oldest kept sample to
//   sampleCount. Redrawing the trace is the caller's.
DataFileRead ParseDataFile(Core& core, std::string_view contentWindows1252);

// Reads the file and parses it. When the file cannot be read, result is not
// ok, the status is NotADataFile and nothing changed.
DataFileRead ReadDataFile(Core& core, const std::filesystem::path& file, FileResult& result);

}  // namespace oxalis
