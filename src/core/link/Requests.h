#pragma once
// The requests the tool sends to a module. The free functions build record
// texts; CommandSet sends them, through the transmit queue except for the
// identification request during the port search.
#include <cstdint>
#include <string>
#include <string_view>

namespace oxalis {

struct AppState;
struct FactoryModel;
class SerialPort;
class TransmitQueue;

namespace records {

// Memory area selectors (extended linear address records).
inline constexpr const char* kProgramMemoryArea = ":020000040000FA";
inline constexpr const char* kEepromArea = ":0200000400F00A";

std::string Identify();  // :00000012EE, without the XON that follows it
std::string StartFrames();
std::string StopFrames();
std::string TimeRequest();
std::string ReadParams(std::uint8_t startAddress, std::uint8_t count);
std::string ReadMemory(std::uint16_t address, std::uint8_t count);
// `bytes` are the data bytes, one char each.
std::string WriteParams(std::uint8_t address, std::string_view bytes);
std::string WriteMemory(std::uint16_t address, std::string_view bytes);
std::string ReloadRequest(std::uint8_t group);

}  // namespace records

class CommandSet {
 public:
  CommandSet(AppState& state, SerialPort& port, FactoryModel& factory, TransmitQueue& queue)
      : state_(state), port_(port), factory_(factory), queue_(queue) {}

  // Identification followed by XON. Written straight to the port while no
  // module is connected, queued otherwise; then the follow-up reads (stored
  // user level, and the calibration offsets while the factory window is
  // visible). Nothing at all while the port is closed.
  void IdentifyRequest();
  void StartFrames();
  void StopFrames();
  void TimeRequest();
  void ReadParams(std::uint8_t startAddress, std::uint8_t count);
  void ReadMemory(std::uint16_t address, std::uint8_t count);
  void WriteParams(std::uint8_t address, std::string_view bytes);
  void WriteMemory(std::uint16_t address, std::string_view bytes);
  void ReloadRequest(std::uint8_t group);
  void SelectEepromArea();
  void SelectProgramMemoryArea();

  // A byte-sized parameter written from the main window (display channel,
  // brightness, fuel type): EEPROM area, the value, reload of group 5.
  void WriteDisplaySetting(std::uint8_t address, std::uint8_t value);

 private:
  void send(std::string record);
  void clearFactoryTicks();

  AppState& state_;
  SerialPort& port_;
  FactoryModel& factory_;
  TransmitQueue& queue_;
};

}  // namespace oxalis
