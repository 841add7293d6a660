#include "link/Requests.h"

#include "app/AppState.h"
#include "factory/FactoryModel.h"
#include "link/RecordCodec.h"
#include "link/TransmitQueue.h"
#include "platform/SerialPort.h"

namespace oxalis {

namespace records {

namespace {
constexpr std::uint8_t kTypeData = 0x00;
constexpr std::uint8_t kTypeReadParams = 0x10;
constexpr std::uint8_t kTypeReadMemory = 0x11;
constexpr std::uint8_t kTypeIdentify = 0x12;
constexpr std::uint8_t kTypeFrames = 0x13;
constexpr std::uint8_t kTypeReload = 0x14;
constexpr std::uint8_t kTypeTime = 0x15;
}  // namespace

std::string Identify() { return BuildRecord(kTypeIdentify, 0, {}); }
std::string StartFrames() { return BuildRecord(kTypeFrames, 1, {}); }
std::string StopFrames() { return BuildRecord(kTypeFrames, 0, {}); }
std::string TimeRequest() { return BuildRecord(kTypeTime, 0, {}); }

std::string ReadParams(std::uint8_t startAddress, std::uint8_t count) {
  // No data: the count rides in the address field's high byte.
  return BuildRecord(kTypeReadParams, static_cast<std::uint16_t>(count << 8 | startAddress), {});
}

std::string ReadMemory(std::uint16_t address, std::uint8_t count) {
  const char data = static_cast<char>(count);
  return BuildRecord(kTypeReadMemory, address, std::string_view(&data, 1));
}

std::string WriteParams(std::uint8_t address, std::string_view bytes) {
  return BuildRecord(kTypeData, address, bytes);
}

std::string WriteMemory(std::uint16_t address, std::string_view bytes) {
  return BuildRecord(kTypeData, address, bytes);
}

std::string ReloadRequest(std::uint8_t group) { return BuildRecord(kTypeReload, group, {}); }

}  // namespace records

void CommandSet::clearFactoryTicks() {
  if (!factory_.visible) return;
  factory_.clearErrorTicks();
  factory_.changed.notify();
}

void CommandSet::send(std::string record) {
  clearFactoryTicks();
  queue_.QueueRecord(std::move(record));
}

void CommandSet::IdentifyRequest() {
  clearFactoryTicks();
  if (!port_.isOpen()) return;
  if (state_.linkUp) {
    queue_.QueueRecord(records::Identify());
  } else {
    // During the search no module paces us yet: write directly, and let the
    // module transmit with an XON. A failure only means no module here.
    port_.write(records::Identify() + '\x11');
  }
  ReadParams(0x0A, 1);
  if (factory_.visible) {
    ReadParams(0x34, 2);
    ReadParams(0x36, 2);
    ReadParams(0x28, 1);
    ReadParams(0x2A, 1);
    ReadParams(0x38, 2);
  }
}

void CommandSet::StartFrames() { send(records::StartFrames()); }
void CommandSet::StopFrames() { send(records::StopFrames()); }
void CommandSet::TimeRequest() { send(records::TimeRequest()); }
void CommandSet::ReadParams(std::uint8_t startAddress, std::uint8_t count) {
  send(records::ReadParams(startAddress, count));
}
void CommandSet::ReadMemory(std::uint16_t address, std::uint8_t count) { send(records::ReadMemory(address, count)); }
void CommandSet::WriteParams(std::uint8_t address, std::string_view bytes) {
  send(records::WriteParams(address, bytes));
}
void CommandSet::WriteMemory(std::uint16_t address, std::string_view bytes) {
  send(records::WriteMemory(address, bytes));
}
void CommandSet::ReloadRequest(std::uint8_t group) { send(records::ReloadRequest(group)); }
void CommandSet::SelectEepromArea() { send(records::kEepromArea); }
void CommandSet::SelectProgramMemoryArea() { send(records::kProgramMemoryArea); }

void CommandSet::WriteDisplaySetting(std::uint8_t address, std::uint8_t value) {
  SelectEepromArea();
  const char byte = static_cast<char>(value);
  WriteParams(address, std::string_view(&byte, 1));
  ReloadRequest(5);
}

}  // namespace oxalis
