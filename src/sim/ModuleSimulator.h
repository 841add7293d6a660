#pragma once
// A simulated module: the module's side of the serial protocol, driven by
// simulated time, standard C++ only.
//
// What it answers (every record that arrives intact is acted upon and then
// followed by XON 0x11; a record that fails its checksum, or holds a
// character that is not an upper-case hex digit, is answered with 0xC3 and
// XON and not acted upon):
//  - 0x12 identification: a type 0x12 record, address = serial number, data =
//    the three device-code characters and the version bytes of the type
//    (OX2, PNU, RMW: HW major, HW minor, FW major, FW minor; OXL: HW x 10,
//    FW x 10; QTX: board variant, then the four bytes). Serial number and
//    versions come from the identity block at offset 0x04 of configuration
//    memory, where the factory writes them.
//  - 0x10 read parameters (count in the address high byte, start offset in the
//    low byte): a type 0x10 record at the start offset with `count` bytes of
//    configuration memory (offsets wrap at 256).
//  - 0x11 read memory (16-bit address, one data byte: the count): a type 0x11
//    record at the same address with `count` bytes of program memory.
//  - 0x13 stream on (address 1) or off (address 0).
//  - 0x14 reload of the parameter group in the address low byte. Group 4 sets
//    the running-time counter from the time last written at offset 0x40 (set
//    by the setup window) or 0x44 (set by the factory window), whichever was
//    written last since the previous group 4 reload; without such a write the
//    counter is left alone. Every other group makes the module take over its
//    whole configuration memory (what the measurement records use: output
//    substitutes, channel coefficients, display settings).
//  - 0x15 time: a type 0x15 record with the running-time counter, in
//    hundredths of a second, as four bytes most significant first.
//  - 0x04 area select (two data bytes, upper 16 address bits): 0x00F0 the
//    configuration memory (8-bit offsets, the low address byte), 0x0000
//    program memory (16-bit addresses). Configuration memory is selected at
//    power on. Writes to any other area are ignored.
//  - 0x00 data: the data bytes are written at the address in the selected
//    area.
//  - 0x20 restart, address 0x0001, no data (":00000120DF"): acknowledged with
//    XON, then the module restarts into its bootloader (below).
//  - Other record types are acknowledged with XON and otherwise ignored.
//
// The bootloader. While in it the module sends no measurement records and
// ignores identification and every other request; each intact record is
// still followed by XON, and a damaged one answered with 0xC3 and XON and not
// acted upon, as above. Its version is the byte at 0x0050 of program memory,
// read when it starts (tenths: 13 is 1.3; an erased 255 counts as 10).
//  - 0x04 selects the upper 16 address bits: only 0x0000 (program memory) is
//    writable; data records after another value are acknowledged and dropped.
//  - 0x00 data at 0x0800 and above is written to program memory. Below 0x0800
//    lies the bootloader itself: it does not overwrite its own code, so those
//    records are acknowledged and dropped.
//  - End checksum: the bootloader adds up, modulo 256, the checksum byte of
//    every address and data record (types 0x00, 0x02-0x05) it accepts. A
//    record equal to the one accepted just before it is a resend and counts
//    once. A 0x20 restart record starts the count (and the update) afresh.
//  - Version above 12: the end record ":0000" SS "01" CC ends the update.
//    When SS equals the count the module answers 0xFA (update successful) and
//    XON, else 0xF0 (firmware checksum error) and XON and it stays in the
//    bootloader, waiting for the image again with the count back at 0.
//  - Version 12 or below: the tool sends no end record. Once a data record
//    has arrived, 500 ms without any record end the update with 0xFA. A plain
//    end record (type 0x01) ends it at once, also with 0xFA.
//  - After 0xFA the module runs the new firmware: it streams again if it did
//    before the restart, configuration memory is selected and taken over, and
//    identification reports the firmware version stored in the image at
//    0x0800 (major) and 0x0801 (minor; on OXL the one version byte becomes
//    major x 10 + minor). An update that did not write both bytes keeps the
//    old version.
// Updating the bootloader itself is done by the running firmware: 0x04 with
// 0x0000 then data records below 0x0800, which write program memory as any
// other data record does (0x0050 then holds the new bootloader version).
// XON (0x11) and XOFF (0x13) from the tool are flow-control characters, never
// part of a record: the module ignores them wherever they arrive. The tool's
// XON after the identification request and its keep-alive XON need no answer.
//
// Time: advance() moves simulated time on. The running-time counter counts
// while the module is powered (from SimOptions::usedTime at power on) and is
// mirrored at offsets 0x44-0x47. While the stream is on a measurement record
// (type 0x13) goes out every 20 ms: the address high byte is a sequence number
// 1, 2, ... 255, 0, 1, ... (0 is "not checked", so the count passes through it
// without looking like a lost record) that keeps counting across a stop and a
// restart; the low byte is the slow-slot selector 0x01, 0x02, ... 0x80 in turn.
// The data layout per module type is in MeasurementFrame.h.
//
// Output: takeOutput() returns the bytes sent since the last call. Records
// have no terminator; single-character messages are the raw byte.
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "sim/EngineModel.h"
#include "sim/ModuleMemory.h"
#include "sim/ModuleType.h"
#include "sim/RecordAssembler.h"
#include "sim/SimOptions.h"

namespace oxalis::sim {

inline constexpr std::uint8_t kXon = 0x11;
inline constexpr std::uint8_t kXoff = 0x13;
inline constexpr std::uint8_t kChecksumError = 0xC3;
inline constexpr std::chrono::milliseconds kFramePeriod{20};
inline constexpr std::uint8_t kFirmwareChecksumError = 0xF0;
inline constexpr std::uint8_t kUpdateSuccessful = 0xFA;
// A bootloader of version 12 or below ends an update this long after the
// last record once data has arrived.
inline constexpr std::chrono::milliseconds kUpdateQuietEnd{500};

enum class MemoryArea { Configuration, Program, Other };

class ModuleSimulator {
 public:
  explicit ModuleSimulator(SimOptions options = {});

  // Bytes from the tool, in the order they arrive.
  void receive(std::uint8_t byte);
  void receive(std::string_view bytes);

  // Simulated time passes.
  void advance(std::chrono::milliseconds elapsed);

  // Everything the module sent since the last call.
  std::string takeOutput();
  bool hasOutput() const { return !output_.empty(); }

  void setFaults(const SimFaults& faults) { faults_ = faults; }
  const SimFaults& faults() const { return faults_; }
  const SimOptions& options() const { return options_; }
  ModuleType type() const { return type_; }

  bool streaming() const { return streaming_; }
  // Measurement records sent with every byte as it was made: none dropped,
  // none changed (what a tool on a clean line would receive).
  std::uint64_t intactMeasurements() const { return intactMeasurements_; }
  // True from the restart record until the bootloader has finished an update.
  bool inBootloader() const { return bootloader_.has_value(); }
  MemoryArea selectedArea() const { return area_; }
  // Simulated time since power on.
  std::chrono::milliseconds elapsed() const { return now_; }
  // The running-time counter, hundredths of a second.
  std::uint32_t runningTime() const;

  // The memories as the tool would write them; tests may preset them.
  ConfigurationMemory& configuration() { return configuration_; }
  const ConfigurationMemory& configuration() const { return configuration_; }
  ProgramMemory& programMemory() { return program_; }
  const ProgramMemory& programMemory() const { return program_; }
  // The configuration taken over at the last reload (power on included).
  const ConfigurationMemory& activeConfiguration() const { return active_; }

 private:
  void act(const ReceivedRecord& record);
  void identify();
  void readParameters(const ReceivedRecord& record);
  void readMemory(const ReceivedRecord& record);
  void selectArea(const ReceivedRecord& record);
  void writeData(const ReceivedRecord& record);
  void reload(std::uint8_t group);
  void sendMeasurement();
  void refreshTimeMirror();

  // The bootloader.
  void enterBootloader();
  void bootload(const ReceivedRecord& record);
  void bootWrite(const ReceivedRecord& record);
  void finishUpdate();
  bool updateStalled() const;
  std::optional<std::chrono::milliseconds> quietEnd() const;

  void sendRecord(std::uint8_t type, std::uint16_t address, std::string_view data);
  void sendByte(std::uint8_t byte);
  void sendXon();
  bool chance(double probability);

  SimOptions options_;
  ModuleType type_;
  SimFaults faults_;
  ConfigurationMemory configuration_;
  ConfigurationMemory active_;
  ProgramMemory program_;
  RecordAssembler assembler_;
  EngineModel engine_;
  std::mt19937 faultRng_;
  bool damaged_ = false;  // a byte dropped or changed since the flag was cleared
  std::uint64_t intactMeasurements_ = 0;
  std::string output_;

  MemoryArea area_ = MemoryArea::Configuration;
  std::chrono::milliseconds now_{0};
  // Running-time counter: `counterBase_` hundredths at `counterBaseTime_`.
  std::uint32_t counterBase_;
  std::chrono::milliseconds counterBaseTime_{0};
  std::optional<std::uint32_t> pendingTime_;  // written, not yet taken over

  bool streaming_ = false;
  std::chrono::milliseconds nextFrame_{0};
  std::uint8_t sequence_ = 1;
  int slowSlot_ = 0;

  // One stay in the bootloader.
  struct Bootloader {
    std::uint8_t version = 0;      // its own version byte, 255 read as 10
    bool streamedBefore = false;   // the firmware streamed when it restarted
    bool programArea = true;       // upper address 0x0000 selected
    std::uint8_t endChecksum = 0;  // sum of the accepted records' checksum bytes
    std::optional<ReceivedRecord> lastAccepted{};
    bool dataArrived = false;
    std::chrono::milliseconds lastRecordAt{0};
    bool majorWritten = false;  // the image wrote 0x0800
    bool minorWritten = false;  // and 0x0801
  };
  std::optional<Bootloader> bootloader_;
  // Intact records received by the bootloader since the firmware restarted
  // into it (the stall fault counts them).
  int bootloaderRecords_ = 0;
};

}  // namespace oxalis::sim
