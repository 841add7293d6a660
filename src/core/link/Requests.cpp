#include "link/Requests.h"

#include "link/LinkDiagnostics.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/RecordCodec.h"
#include "link/TransmitQueue.h"
#include "platform/SerialPort.h"

namespace oxalis {

namespace records {

namespace {
using namespace record_type;
}  // namespace

std::string Identify() { return BuildRecord(kIdentify, 0, {}); }
std::string StartFrames() { return BuildRecord(kMeasurement, 1, {}); }
std::string StopFrames() { return BuildRecord(kMeasurement, 0, {}); }
std::string TimeRequest() { return BuildRecord(kTime, 0, {}); }

std::string ReadParams(std::uint8_t startAddress, std::uint8_t count) {
  // No data: the count rides in the address field's high byte.
  return BuildRecord(kParameters, static_cast<std::uint16_t>(count << 8 | startAddress), {});
}

std::string ReadMemory(std::uint16_t address, std::uint8_t count) {
  const char data = static_cast<char>(count);
  return BuildRecord(kMemory, address, std::string_view(&data, 1));
}

std::string WriteParams(std::uint8_t address, std::string_view bytes) {
  return BuildRecord(kData, address, bytes);
}

std::string WriteMemory(std::uint16_t address, std::string_view bytes) {
  return BuildRecord(kData, address, bytes);
}

std::string ReloadRequest(std::uint8_t group) { return BuildRecord(kReload, group, {}); }

}  // namespace records

void CommandSet::clearFlags() {
  if (diagnostics_.watching()) diagnostics_.clearFlags();
}

bool CommandSet::send(std::string record) {
  clearFlags();
  return queue_.queueRecord(std::move(record));
}

bool CommandSet::identify() {
  clearFlags();
  if (!port_.isOpen()) return true;
  // The XON after the request lets the module transmit its reply, linked or
  // not: one queue entry carries both.
  std::string request = records::Identify() + static_cast<char>(link_char::kXon);
  if (state_.linkUp) {
    if (!queue_.queueRecord(std::move(request))) return false;
  } else {
    // During the search no module paces us yet: write directly. A failure
    // only means no module here.
    (void)port_.write(request);
  }
  events_.identifyRequested();
  return true;
}

bool CommandSet::startFrames() { return send(records::StartFrames()); }
bool CommandSet::stopFrames() { return send(records::StopFrames()); }
bool CommandSet::requestTime() { return send(records::TimeRequest()); }
bool CommandSet::readParams(std::uint8_t startAddress, std::uint8_t count) {
  return send(records::ReadParams(startAddress, count));
}
bool CommandSet::readMemory(std::uint16_t address, std::uint8_t count) {
  return send(records::ReadMemory(address, count));
}
bool CommandSet::writeParams(std::uint8_t address, std::string_view bytes) {
  return send(records::WriteParams(address, bytes));
}
bool CommandSet::writeMemory(std::uint16_t address, std::string_view bytes) {
  return send(records::WriteMemory(address, bytes));
}
bool CommandSet::reload(std::uint8_t group) { return send(records::ReloadRequest(group)); }
bool CommandSet::selectEepromArea() { return send(records::kEepromArea); }
bool CommandSet::selectProgramMemoryArea() { return send(records::kProgramMemoryArea); }

}  // namespace oxalis
