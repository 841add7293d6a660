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
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "config/ChannelTable.h"
#include "platform/Clock.h"
#include "trace/TraceBuffer.h"
#include "util/AtomicFile.h"

namespace oxalis {

// The maker's web address that opens every data file; a file whose first
// line lacks the maker's name, spelt exactly so, is not a data file (the
// maker's earlier tool checks the same way, hence the capital in the address).
inline constexpr const char* kMakerAddress = "www.Korvane.com";
inline constexpr const char* kMakerName = "Korvane";

// What a data file says besides its samples.
struct DataFileHeader {
  std::string deviceCode;         // "PNU" files say "Panora", all others "Oxalis"
  std::int32_t serialNumber = 0;
  DateTime created;               // only the date is written
  std::array<ChannelDefinition, 5> channels{};  // user channels 1..5
  std::array<bool, 5> show{};     // the trace's channel ticks
};

// The whole file for the header and the samples the ring holds. The date of
// the first line is day/month/year with two-digit day and month
// ("08/12/2026"). A ring that has wrapped gives its 65000 samples oldest
// first, each line starting with its slot number; otherwise the samples from
// the start index on, each line starting with its sample number. A ring
// filled to exactly 65000 samples without wrapping gives all 65000.
std::string FormatDataFile(const DataFileHeader& header, const TraceBuffer& samples);

// Saves FormatDataFile atomically; the previous file stays on failure.
FileResult WriteDataFile(const DataFileHeader& header, const TraceBuffer& samples,
                         const std::filesystem::path& file);

struct DataFileRead {
  enum class Status { Ok, NotADataFile };
  Status status = Status::Ok;
  // Sample lines read after "DATA", and how many of them, the oldest, did not
  // fit into the ring of 65000 samples.
  std::size_t linesRead = 0;
  std::size_t linesDropped = 0;

  // The user channels as the file defines them, and whether it has a "Show"
  // line for the channel ticks (their values are then in channels[k].Show).
  std::array<ChannelDefinition, 5> channels{};
  bool hasShowLine = false;
  // The file stores A/F x 10 (an older layout): the samples hold A/F x 100.
  bool afrTenfold = false;
  // The samples, in a ring of up to 65000 slots (sample n in slot n mod
  // 65000; as many slots as samples when fewer), and how many were counted;
  // see loadSamples.
  std::vector<TraceSample> ring;
  std::int32_t sampleCount = 0;
};

// Reads a data file's content (Windows-1252, or UTF-8 after a byte-order
// mark; any line ends). `channels` are the user channels before the file is
// read: a field the file does not set keeps its value.
// - A first line without "Korvane" is NotADataFile, with nothing else set.
// - afrTenfold is set unless field 5 of the "Name" line reads "AFR".
// - Header lines, up to the one whose first field is "DATA", are recognised
//   by their first field; fields 9..13 belong to channels 1..5, missing ones
//   read as empty or 0. Numbers are the leading decimal number of a field,
//   rounded and held within the range of what they go into. A file without
//   a "DATA" line has its header and no samples.
// - Every line after "DATA" is one sample (empty lines aside, which are
//   skipped): fields 1..13, rounded and held within the width of each
//   sample field; text that is no number reads 0, so a cut or damaged line
//   still gives a sample. With afrTenfold the air/fuel ratio is limited to
//   3276 and multiplied by 10.
// - More lines than the ring holds: the newest 65000 are kept, as a
//   recording would have kept them; linesDropped tells how many went.
DataFileRead ParseDataFile(std::string_view contentWindows1252, const std::array<ChannelDefinition, 5>& channels);

// Reads the file and parses it. When the file cannot be read, result is not
// ok and the status is NotADataFile.
DataFileRead ReadDataFile(const std::filesystem::path& file, const std::array<ChannelDefinition, 5>& channels,
                          FileResult& result);

// The user channels 1..5 of a channel table, as a data file stores them.
std::array<ChannelDefinition, 5> UserChannels(const ChannelTable& table);

}  // namespace oxalis
