#pragma once
// The requests the tool sends to a module. The free functions build record
// texts; CommandSet sends them, through the transmit queue except for the
// identification request during the port search.
#include <cstdint>
#include <string>
#include <string_view>

namespace oxalis {

struct LinkState;
class SerialPort;
class TransmitQueue;
class LinkDiagnostics;
class LinkEvents;

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

// Each request first clears the factory window's error indications, then
// queues its record. A request returns false when the queue was full and
// refused its record; the refusal has then been logged and reported through
// LinkEvents::recordRefused. A request of several records stops at the first
// refusal; a caller sending several records that belong together stops at
// the first refusal, so the module never gets a write without its area
// record.
class CommandSet {
 public:
  CommandSet(LinkState& state, SerialPort& port, TransmitQueue& queue, LinkDiagnostics& diagnostics,
             LinkEvents& events)
      : state_(state), port_(port), queue_(queue), diagnostics_(diagnostics), events_(events) {}

  // Identification followed by XON. Written straight to the port while no
  // module is connected, queued (the XON in the same entry) otherwise; then LinkEvents::identifyRequested
  // for the follow-up reads. Nothing at all while the port is closed.
  bool identify();
  bool startFrames();
  bool stopFrames();
  bool requestTime();
  bool readParams(std::uint8_t startAddress, std::uint8_t count);
  bool readMemory(std::uint16_t address, std::uint8_t count);
  bool writeParams(std::uint8_t address, std::string_view bytes);
  bool writeMemory(std::uint16_t address, std::string_view bytes);
  bool reload(std::uint8_t group);
  bool selectEepromArea();
  bool selectProgramMemoryArea();

 private:
  bool send(std::string record);
  void clearFlags();

  LinkState& state_;
  SerialPort& port_;
  TransmitQueue& queue_;
  LinkDiagnostics& diagnostics_;
  LinkEvents& events_;
};

}  // namespace oxalis
